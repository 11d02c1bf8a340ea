// Every statement handler has one shape: it takes the interpreter and the text
// position just after its keyword, advances the position over what it consumes, and
// returns 0, or -1 with its message in the error buffer.
#pragma once

class C_VMBAS;

using StatementHandler = int (*)(C_VMBAS& vm, const char*& p);

// Execution state.
int stmt_run(C_VMBAS& vm, const char*& p);
int stmt_cont(C_VMBAS& vm, const char*& p);
int stmt_stop(C_VMBAS& vm, const char*& p);
int stmt_end(C_VMBAS& vm, const char*& p);
int stmt_new(C_VMBAS& vm, const char*& p);
int stmt_clear(C_VMBAS& vm, const char*& p);
int stmt_tron(C_VMBAS& vm, const char*& p);
int stmt_troff(C_VMBAS& vm, const char*& p);
int stmt_rest_of_line(C_VMBAS& vm, const char*& p);  // rem, ', data, else
int stmt_label(C_VMBAS& vm, const char*& p);
int stmt_option(C_VMBAS& vm, const char*& p);
int stmt_help(C_VMBAS& vm, const char*& p);

// Program files and editing.
int stmt_load(C_VMBAS& vm, const char*& p);
int stmt_save(C_VMBAS& vm, const char*& p);
int stmt_merge(C_VMBAS& vm, const char*& p);
int stmt_list(C_VMBAS& vm, const char*& p);
int stmt_llist(C_VMBAS& vm, const char*& p);
int stmt_delete(C_VMBAS& vm, const char*& p);
int stmt_renum(C_VMBAS& vm, const char*& p);
int stmt_auto(C_VMBAS& vm, const char*& p);
int stmt_edit(C_VMBAS& vm, const char*& p);

// Control flow.
int stmt_goto(C_VMBAS& vm, const char*& p);
int stmt_gosub(C_VMBAS& vm, const char*& p);
int stmt_return(C_VMBAS& vm, const char*& p);
int stmt_on(C_VMBAS& vm, const char*& p);
int stmt_if(C_VMBAS& vm, const char*& p);
int stmt_for(C_VMBAS& vm, const char*& p);
int stmt_next(C_VMBAS& vm, const char*& p);
int stmt_while(C_VMBAS& vm, const char*& p);
int stmt_wend(C_VMBAS& vm, const char*& p);

// Variables and functions.
int stmt_let(C_VMBAS& vm, const char*& p);
// An assignment without the keyword let.
int stmt_assignment(C_VMBAS& vm, const char*& p);
int stmt_dim(C_VMBAS& vm, const char*& p);
int stmt_erase(C_VMBAS& vm, const char*& p);
int stmt_swap(C_VMBAS& vm, const char*& p);
int stmt_def(C_VMBAS& vm, const char*& p);

// Graphs of user functions.
int stmt_graph2d(C_VMBAS& vm, const char*& p);
int stmt_graph3d(C_VMBAS& vm, const char*& p);

// Console output.
int stmt_print(C_VMBAS& vm, const char*& p);
int stmt_lprint(C_VMBAS& vm, const char*& p);
int stmt_write(C_VMBAS& vm, const char*& p);
int stmt_locate(C_VMBAS& vm, const char*& p);
int stmt_cls(C_VMBAS& vm, const char*& p);
int stmt_width(C_VMBAS& vm, const char*& p);
int stmt_console(C_VMBAS& vm, const char*& p);

// Console input.
int stmt_input(C_VMBAS& vm, const char*& p);
int stmt_line(C_VMBAS& vm, const char*& p);  // line input

// Files, devices and the system.
int stmt_open(C_VMBAS& vm, const char*& p);
int stmt_close(C_VMBAS& vm, const char*& p);
int stmt_field(C_VMBAS& vm, const char*& p);
int stmt_get(C_VMBAS& vm, const char*& p);
int stmt_put(C_VMBAS& vm, const char*& p);
int stmt_lset(C_VMBAS& vm, const char*& p);
int stmt_rset(C_VMBAS& vm, const char*& p);
int stmt_spawn(C_VMBAS& vm, const char*& p);
int stmt_system(C_VMBAS& vm, const char*& p);
int stmt_files(C_VMBAS& vm, const char*& p);
int stmt_kill(C_VMBAS& vm, const char*& p);
int stmt_name(C_VMBAS& vm, const char*& p);
int stmt_chdir(C_VMBAS& vm, const char*& p);
int stmt_pwd(C_VMBAS& vm, const char*& p);
int stmt_sleep(C_VMBAS& vm, const char*& p);
int stmt_randomize(C_VMBAS& vm, const char*& p);
int stmt_poke(C_VMBAS& vm, const char*& p);
int stmt_read(C_VMBAS& vm, const char*& p);
int stmt_restore(C_VMBAS& vm, const char*& p);

// Graphics windows.
int stmt_gopen(C_VMBAS& vm, const char*& p);
int stmt_gclose(C_VMBAS& vm, const char*& p);
int stmt_gselect(C_VMBAS& vm, const char*& p);
int stmt_gactive(C_VMBAS& vm, const char*& p);
int stmt_gmove(C_VMBAS& vm, const char*& p);

// Drawing.
int stmt_gbox(C_VMBAS& vm, const char*& p);
int stmt_gline(C_VMBAS& vm, const char*& p);
int stmt_gcircle(C_VMBAS& vm, const char*& p);
int stmt_goval(C_VMBAS& vm, const char*& p);
int stmt_gputs(C_VMBAS& vm, const char*& p);
int stmt_gfont(C_VMBAS& vm, const char*& p);
int stmt_gput(C_VMBAS& vm, const char*& p);
int stmt_gpaint(C_VMBAS& vm, const char*& p);
int stmt_gscroll(C_VMBAS& vm, const char*& p);
int stmt_gclear(C_VMBAS& vm, const char*& p);
int stmt_gcopy(C_VMBAS& vm, const char*& p);
int stmt_gsave(C_VMBAS& vm, const char*& p);
int stmt_gload(C_VMBAS& vm, const char*& p);
int stmt_gclipcopy(C_VMBAS& vm, const char*& p);
int stmt_gclippaste(C_VMBAS& vm, const char*& p);
