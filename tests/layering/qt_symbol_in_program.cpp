// Planted: the program calls a Qt function without its header. The program
// links no Qt library (the window's code is a module it opens), so the link
// must fail on that symbol.
extern "C" const char* qVersion() noexcept; // NOLINT(readability-identifier-naming): Qt's name

int main() { return qVersion() != nullptr ? 0 : 1; }
