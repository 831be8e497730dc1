// quedrix.exe: the start-up, then the window events until the program ends itself.
#include "app/modMain.h"

#include <windows.h>

int main(int argc, char* argv[]) {
    // The mode word is plain ASCII, the same in every code page.
    if (!Main(std::vector<std::string>(argv + 1, argv + argc)))
        return 0; // an earlier copy runs
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
