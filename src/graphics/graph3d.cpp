// graph3d: the viewing angles and ranges, and the six graph types drawn as one panel or
// as a pair of panels side by side.
#include <string_view>

#include "graphics/graph3d_panel.h"
#include "graphics/graph_function.h"
#include "graphics/graph_statement.h"
#include "interp/program_store.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "io/break_flag.h"
#include "values/error.h"
#include "values/text_scan.h"

namespace {

constexpr std::string_view kHrollUsage = messages::translatable("使用例:graph3d hroll -3.14/6");
constexpr std::string_view kVrollUsage = messages::translatable("使用例:graph3d vroll 3.14/12");
constexpr std::string_view kRangeUsage = messages::translatable("使用例:graph3d xrange/yrange/zrange -2,2");
constexpr std::string_view kGraphUsage = messages::translatable("使用例:graph3d \"xy2z\",FNx[,0,0,800,600]");

struct GraphType {
    std::string_view name;
    Graph3dType type;
    int parameters;
    std::string_view parameter_message;
    std::string_view first_label;
    std::string_view second_label;
};

constexpr std::string_view kTwoParameters = messages::translatable("関数引数が x,y でない");

const GraphType kGraphTypes[] = {
    {"xy2z", Graph3dType::Xy2z, 2, kTwoParameters, "", ""},
    {"xy2rl", Graph3dType::Xy2rl, 2, kTwoParameters, messages::translatable("右目(交差法)"),
     messages::translatable("左目(交差法)")},
    {"xy2lr", Graph3dType::Xy2lr, 2, kTwoParameters, messages::translatable("左目(平行法)"),
     messages::translatable("右目(平行法)")},
    {"xy2c", Graph3dType::Xy2c, 2, kTwoParameters, "real", "imag"},
    {"z2c", Graph3dType::Z2c, 1, messages::translatable("関数引数が z でない"), "", ""},
    {"c2c", Graph3dType::C2c, 1, messages::translatable("関数引数が c でない"), "real", "imag"},
};

const GraphType* find_graph_type(std::string_view name) {
    for (const GraphType& type : kGraphTypes)
        if (equals_nocase(type.name, name)) return &type;
    return nullptr;
}

int draw_graph3d(C_VMBAS& vm, const GraphRequest& request, const GraphType& type) {
    const Graph3dSettings& settings = vm.graph_settings.graph3d;
    const bool pair = graph3d_has_two_panels(type.type);
    const auto panels = graph3d_panels(request.area, pair);
    const Graph3dPanelJob first{request.function, type.type, panels[0], type.first_label};
    if (draw_graph3d_panel(vm, *request.surface, settings, first) < 0) return -1;
    if (!pair || break_flag::is_set()) return 0;
    const Graph3dPanelJob second{request.function, type.type, panels[1], type.second_label};
    return draw_graph3d_panel(vm, *request.surface, settings, second);
}

}  // namespace

int stmt_graph3d(C_VMBAS& vm, const char*& p) {
    Graph3dSettings& settings = vm.graph_settings.graph3d;
    if (at_statement_end(skip_blanks(p))) {
        settings = {};
        return 0;
    }
    if (match_keyword(p, "hroll") == 0) return parse_graph_angle(vm, p, kHrollUsage, settings.hroll);
    if (match_keyword(p, "vroll") == 0) return parse_graph_angle(vm, p, kVrollUsage, settings.vroll);
    if (match_keyword(p, "xrange") == 0) return parse_graph_range(vm, p, kRangeUsage, settings.x);
    if (match_keyword(p, "yrange") == 0) return parse_graph_range(vm, p, kRangeUsage, settings.y);
    if (match_keyword(p, "zrange") == 0) return parse_graph_range(vm, p, kRangeUsage, settings.z);
    GraphRequest request;
    if (parse_graph_request(vm, p, kGraphUsage, request) < 0) return -1;
    const GraphType* type = find_graph_type(request.type);
    if (!type) return vm_error::fail("グラフタイプ xy2z 等が無効");
    if (!has_numeric_parameters(*request.function, type->parameters)) return vm_error::fail(type->parameter_message);
    return draw_graph3d(vm, request, *type);
}
