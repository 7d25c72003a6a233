// Test helper: sleeps the given milliseconds, then writes its arguments to the
// file named second, so a test can tell that it ran to its end.
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

int main(int argc, char** argv)
{
    const int ms = argc > 1 ? std::atoi(argv[1]) : 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    if (argc > 2) {
        std::ofstream out(argv[2]);
        for (int i = 1; i < argc; ++i)
            out << argv[i] << '\n';
    }
    return 3;
}
