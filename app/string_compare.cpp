#include <string>

// libstdc++'s random.o comes in with the copy-on-write string that every standard exception
// brings, and it calls this member. Where no code of ours has an instance of it, the linker
// takes libstdc++'s string-inst.o to get one, and keeps all of it (18 KB): the default script
// keeps every function that has unwind data. One instance here keeps the size independent of
// whether some unrelated line happens to compare a string with a literal.
template int std::string::compare(const char*) const;
