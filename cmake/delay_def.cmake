# Writes DEF, the module definition of DLL listing every function its import library IMPORT
# names, for dlltool to make a delay-load library of. Run with cmake -P; NM is the toolchain's nm.
execute_process(COMMAND ${NM} ${IMPORT} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL " I __imp_[A-Za-z0-9_]+" functions "${symbols}")
list(TRANSFORM functions REPLACE "^ I __imp_" "")
list(REMOVE_DUPLICATES functions)
list(JOIN functions "\n" exports)
file(WRITE ${DEF} "LIBRARY ${DLL}.dll\nEXPORTS\n${exports}\n")
