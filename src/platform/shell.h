// The shell: opening documents, and the COM apartment that some of its handlers need.
#pragma once

#include <string>

namespace quillet::sys {

// Opens `target` with the program the user chose for it, like a double-click. False when
// nothing opened it (no such file, no program for it); the shell shows no message of its own.
bool ShellOpen(const std::wstring& target);

// The calling thread's single-threaded COM apartment for the life of the object: the shell
// hands some documents to their programs through COM. OLE1 DDE is off, as the shell asks.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_ = false;
};

}  // namespace quillet::sys
