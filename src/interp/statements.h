// Every statement handler has one shape: it takes the interpreter and the text
// position just after its keyword, advances the position over what it consumes, and
// returns 0, or -1 with its message in the error buffer.
#pragma once

class C_VMBAS;

using StatementHandler = int (*)(C_VMBAS& vm, const char*& p);

// Execution state.
[[nodiscard]] int stmt_run(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_cont(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_stop(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_end(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_new(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_clear(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_tron(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_troff(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_rest_of_line(C_VMBAS& vm, const char*& p);  // rem, ', data, else
[[nodiscard]] int stmt_label(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_option(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_help(C_VMBAS& vm, const char*& p);

// Program files and editing.
[[nodiscard]] int stmt_load(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_save(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_merge(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_list(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_llist(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_delete(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_renum(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_auto(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_edit(C_VMBAS& vm, const char*& p);

// Control flow.
[[nodiscard]] int stmt_goto(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_gosub(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_return(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_on(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_if(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_for(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_next(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_while(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_wend(C_VMBAS& vm, const char*& p);

// Variables and functions.
[[nodiscard]] int stmt_let(C_VMBAS& vm, const char*& p);
// An assignment without the keyword let.
[[nodiscard]] int stmt_assignment(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_dim(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_erase(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_swap(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_def(C_VMBAS& vm, const char*& p);

// Graphs of user functions.
int stmt_graph2d(C_VMBAS& vm, const char*& p);
int stmt_graph3d(C_VMBAS& vm, const char*& p);

// Console output.
[[nodiscard]] int stmt_print(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_lprint(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_write(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_locate(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_cls(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_width(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_console(C_VMBAS& vm, const char*& p);

// Console input.
[[nodiscard]] int stmt_input(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_line(C_VMBAS& vm, const char*& p);  // line input

// Files, devices and the system.
[[nodiscard]] int stmt_open(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_close(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_field(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_get(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_put(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_lset(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_rset(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_spawn(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_system(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_files(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_kill(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_name(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_chdir(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_pwd(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_sleep(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_randomize(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_poke(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_read(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_restore(C_VMBAS& vm, const char*& p);

// Graphics windows.
[[nodiscard]] int stmt_gopen(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_gclose(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_gselect(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_gactive(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_gmove(C_VMBAS& vm, const char*& p);

// Drawing.
[[nodiscard]] int stmt_gbox(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_gline(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_gcircle(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_goval(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_gputs(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_gfont(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_gput(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_gpaint(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_gscroll(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_gclear(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_gcopy(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_gsave(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_gload(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_gclipcopy(C_VMBAS& vm, const char*& p);
[[nodiscard]] int stmt_gclippaste(C_VMBAS& vm, const char*& p);
