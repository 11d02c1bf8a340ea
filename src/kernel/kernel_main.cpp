// velmora-kernel: the Jupyter kernel, started by Jupyter with a connection file.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <xeus/xhelper.hpp>
#include <xeus/xkernel.hpp>
#include <xeus/xkernel_configuration.hpp>
#include <xeus/xserver_zmq.hpp>

#include "base/diagnostics.h"
#include "io/break_flag.h"
#include "io/code_page.h"
#include "io/user_paths.h"
#include "kernel/notebook_interpreter.h"
#include "values/messages.h"

namespace {

// The notebook is the keyboard: nothing may read the terminal Jupyter was started from.
void detach_from_terminal() {
    const int none = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (none >= 0) {
        dup2(none, STDIN_FILENO);
        close(none);
    }
}

// Only the thread running a cell takes the interrupt: every thread the kernel starts
// from here on inherits it held back.
void hold_back_interrupt() {
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    pthread_sigmask(SIG_BLOCK, &interrupt, nullptr);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (xeus::should_print_version(argc, argv)) {
        std::printf("velmora-kernel " VELMORA_VERSION "\n");
        return 0;
    }
    const std::string connection_file = xeus::extract_filename(argc, argv);
    if (connection_file.empty()) {
        std::fprintf(stderr, "usage: velmora-kernel -f CONNECTION_FILE (Jupyter starts it so)\n");
        return 2;
    }
    detach_from_terminal();
    // Windows are never shown from a kernel, on a desktop or as pictures in a
    // terminal: their pictures go to the notebook.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("VELMORA_INLINE", "off", 1);
    detect_console_code_page();
    messages::choose_language(locale_directory());
    base::set_diagnostic_translation(messages::localized);
    break_flag::install_handler();
    NotebookInterpreter::catch_interrupts();
    hold_back_interrupt();
    const xeus::xconfiguration config = xeus::load_configuration(connection_file);
    auto context = xeus::make_context<zmq::context_t>();
    auto interpreter = std::make_unique<NotebookInterpreter>();
    xeus::xkernel kernel(config, xeus::get_user_name(), std::move(context), std::move(interpreter),
                         xeus::make_xserver_zmq);
    kernel.start();
    return 0;
}
