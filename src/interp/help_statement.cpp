// The help statement: five pages of reference text with a key-driven pager, or the
// entry of one word.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "interp/help_entries.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "io/break_flag.h"
#include "io/code_page.h"
#include "io/console_input.h"
#include "io/console_state.h"
#include "values/messages.h"
#include "values/text_scan.h"

namespace {

using messages::localized;
using messages::translatable;

constexpr std::array<std::string_view, 5> kPages = {
    translatable("\tVelmora BASIC V2.00 2022/08/02 by Orrin\n\tα+βi 形式で複素数が使える DOS 窓版の鈍足 BASIC です。\n\tVB,VBS も複素数は扱えますが、これは複素数プログラム電卓の\n\tようなモノです。この用途には Python も良さそうです。\n\t構文は MBASIC(8bit) に準じていますが、実数は double, 整数\n\t表示時は 64bit 扱いなので数値表示はそれなりに異なります。\n\n\tコマンド\n\thelp\tnew\tclear\tlist\tedit\tdelete\tsystem\tfiles\n\tsave\tload\tmerge\tkill\tname\tchdir\tpwd\ttron\n\ttroff\trun\ton\tgoto\tgosub\treturn\tstop\tcont\n\tend\tif then[else]\tfor next\twhile\twend\twrite\n\tprint/?[using/spc/tab]\tinput\tline input\tlet\topen\n\tclose\tdim\toption base\terase\tdata\trestore\tread\n\tspawn\tdef fn\tsleep\tlocate\tcls\tauto\tconsole[font/size]\n\toption base\twidth\tllist\tlprint\tswap\tfield\tput\n\tget\tlset\trset\tpoke\trem/'\n\n\t複素関数\n\tsin() cos() tan() asin() acos() atn()/atan() sinh() cosh()\n\ttanh() sqr()/sqrt() exp() log() log10() pow() abs() arg()\n\tconj() norm() real() imag() sgn() int() cint() fix() val()\n\tstr$()\n"),
    translatable("\t実数関数\n\tpi() e() rnd() rand() min() max() fre() csng() cdbl() pos()\n\tlpos() loc() eof() varptr() peek() err erl\n\n\t文字列関数\n\tchr$() hex$() inkey$ input$() left$() mid$() oct$() right$()\n\tspace$() string$() asc() instr() len() date$ time$\n\n\t演算子(大小比較,論理演算は実数専用)\n\t ^ * / + - < <= > >= = <> not and or xor imp eqv ( )\n\n\t変数はデフォルトが複素数、$ が付くと文字列、% は整数、\n\t# は倍精度複素数ですがデフォルトと同じ精度です。\n\t配列は最大 4 次元です。配列は dim 文での宣言が必須です。\n\t配列は [],() いずれも有効です。\n\t関数・変数・コマンド・ラベルの大/小文字は同一視します。\n\t変数・ラベルは 40 文字まで有効です。\n\ti は虚数単位なので一文字変数には使えません。\n\n\tいまどき行番号付のソフトを書く気にはならないでしょうから、\n\tgoto/gosub/list/delete/edit はラベルも有効にしました。\n\tなお、ラベルと data 文は行の最初に置く必要があります。\n\t(例. 100 *LABEL : goto *LABEL)\n"),
    translatable("\t拡張子 .vmb は行番号なし, .bas は行番号ありを意味します。\n\tgoto/gosub にラベルを使うことで、テキストエディタで行番号\n\tなしのプログラムを書き、拡張子を .vmb として保存。これを\n\tload で読み込めば自動的に編集用の行番号が付くのでそのまま\n\t実行できます。save での保存時も拡張子を .vmb とすれば行番号\n\tが付かないので、再びエディタで編集できます。\n\tsave,load で拡張子が .bas でない場合は自動で .vmb が付きます\n"),
    translatable("\t描画は別に描画ウインドウを開いてそこに描画します。\n\t描画ウインドウは 1~9 まで開けます。\n\t描画コマンドは他の BASIC との類似性はありません。\n\t下記の rgb とは 16進数で言えば &H00bbggrr の意味です。\n\tx,y sx,sy dx,dy は座標, xw,yw は領域指定を意味します。\n\t描画オプション opt は fill,dash,xor,bold と複数指定できます。\n\t対象ファイルは jpg,bmp,gif,png です(特殊ファーマットは対象外)\n\n\t描画コマンド\n\tgopen 1~9[,xw,yw]:ウインドウを開く  gclose[1~9,…]:閉じる\n\tgselect 1~9:描画対象を選択  gactive 0~9:操作対象を選択\n\tgscroll,x,y,rgb:上下左右スクロール  gmove x,y:ウインドウ移動\n\tgcopy dx,dy,xw,yw,1~9,sx,sy,xw,yw:ウインドウ間拡大/縮小コピー\n"),
    translatable("\tgraph2d,\"x2y\",FNx[,x,y,xw,yw]:2D グラフ描画\n\tgraph3d,\"xy2z/xy2c/c2c/xy2rl\",FNx[,x,y,xw,yw]:3D グラフ描画\n\tgput x,y,rgb  gcircle x,y,r,rgb[,opt]  gline x,y,x,y,rgb[,opt]\n\tgbox x,y,xw,yw,rgb[,opt]  goval x,y,xr,yr,rgb[,opt]  gfont x,y\n\tgputs x,y,文字列,rgb[,rgb]  gpaint x,y,rgb  gclear rgb\n\tgsaveファイル名  gloadファイル名  gclipcopy  gclippaste\n\tグラフィック関数\n\tgsizex(),gsizey():ウインドウサイズ gget(x,y):画素のrgb値\n\tgrgb(r,g,b):任意のrgb  gcolor(\"red/green/…\"):色名をrgbに\n\tgrgb2r(rgb),grgb2g(rgb),grgb2b(rgb):r,g,b値取得\n\tgmouse(\"xp/yp/lon/ron/reset/hp/lct/rct…\"):マウス状態\n"),
};

// The pager waits after the first, the second and the fourth page.
// A notebook (a console host) shows the pages in one scrolling cell, without pauses.
bool pauses_after(size_t page) { return !console().host && (page == 0 || page == 1 || page == 3); }

constexpr int kEscape = 27;
constexpr int kSequenceWaitMs = 50;

// Reads the rest of an escape sequence after its introducer: CSI ("ESC [",
// parameters, a final byte) or SS3 ("ESC O" and one byte).
void skip_escape_sequence() {
    read_console_key();
    while (console_key_following(kSequenceWaitMs) >= 0) {
        const int key = read_console_key();
        if (key < 0 || (key >= 0x40 && key <= 0x7E)) return;
    }
}

// ESC alone stops the pager; any other key, an arrow or PgDn included, turns the page.
bool pager_stops(C_VMBAS& vm) {
    const int key = vm.io.get_char(CHANNEL_CONSOLE);
    if (key < 0) return true;
    if (key != kEscape) return false;
    const int next = console_key_following(kSequenceWaitMs);
    if (next != '[' && next != 'O') return true;
    skip_escape_sequence();
    return false;
}

void show_pages(C_VMBAS& vm) {
    for (size_t page = 0; page < kPages.size(); ++page) {
        if (page > 0) vm.io.put_char(CHANNEL_CONSOLE, '\n');
        vm.io.put_text(CHANNEL_CONSOLE, localized(kPages[page]));
        if (!pauses_after(page)) continue;
        vm.io.put_text(CHANNEL_CONSOLE, localized("CR:続き ESC:中止"));
        gw_refresh(vm, REFRESH_ALL);
        if (pager_stops(vm)) {
            // The prompt's row ends with the pager, so that what follows has a row of its
            // own; the "^C" of a Ctrl-C follows the prompt as it follows any output.
            if (!break_flag::is_set()) vm.io.put_char(CHANNEL_CONSOLE, '\n');
            break;
        }
    }
}

void put_line(C_VMBAS& vm, std::string_view text) {
    vm.io.put_text(CHANNEL_CONSOLE, text);
    vm.io.put_char(CHANNEL_CONSOLE, '\n');
}

// The lines of `text` within `width` display columns, broken at the last blank that
// fits (English) or else between two characters (Japanese).
std::vector<std::string_view> wrapped(std::string_view text, int width) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        size_t end = 0, last_blank = std::string_view::npos;
        for (int columns = 0; end < text.size();) {
            const auto* bytes = reinterpret_cast<const unsigned char*>(text.data() + end);
            const int length = std::max(1, utf8_sequence_length(bytes[0]));
            columns += utf8_display_width(bytes, length);
            if (columns > width) break;
            if (text[end] == ' ') last_blank = end;
            end += static_cast<size_t>(length);
        }
        if (end < text.size() && text[end] != ' ' && last_blank != std::string_view::npos) end = last_blank;
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end);
        while (text.starts_with(' ')) text.remove_prefix(1);
    }
    return lines;
}

void show_entry(C_VMBAS& vm, const HelpEntry& entry) {
    constexpr std::string_view kIndent = "    ";
    constexpr int kTextWidth = 72;
    // Each form of the syntax, " / " between them, on a line of its own.
    std::string_view syntax = localized(entry.syntax);
    for (size_t slash; (slash = syntax.find(" / ")) != std::string_view::npos; syntax.remove_prefix(slash + 3))
        put_line(vm, syntax.substr(0, slash));
    put_line(vm, syntax);
    for (std::string_view line : wrapped(localized(entry.text), kTextWidth))
        put_line(vm, std::string(kIndent) + std::string(line));
    put_line(vm, localized("例:"));
    for (std::string_view line : split_text(entry.example, '\n')) put_line(vm, std::string(kIndent) + std::string(line));
    if (!entry.related.empty()) put_line(vm, std::string(localized("関連:")) + " " + std::string(entry.related));
}

void show_nearest(C_VMBAS& vm, std::string_view word) {
    constexpr size_t kShown = 5;
    vm.io.put_bytes(CHANNEL_CONSOLE, word);
    std::string line(": ");
    line += localized("該当する説明がない。近い語:");
    for (std::string_view nearest : nearest_help_words(word, kShown)) {
        line += ' ';
        line += nearest;
    }
    put_line(vm, line);
}

}  // namespace

// `help` alone, or before ":", shows the pages; otherwise the rest of the line is the
// word, so that "help rem" and "help '" find theirs.
int stmt_help(C_VMBAS& vm, const char*& p) {
    const char* q = skip_blanks(p);
    if (*q == '\0' || *q == ':') {
        show_pages(vm);
        return 0;
    }
    std::string_view word(q);
    p = q + word.size();
    while (is_blank(word.back())) word.remove_suffix(1);
    if (const HelpEntry* entry = find_help_entry(word)) {
        show_entry(vm, *entry);
    } else {
        show_nearest(vm, word);
    }
    return 0;
}
