// CHROMIK3 Scope: the PC operating program of the colour sensor.
#include "app/shell.h"

int main(int argc, char** argv) {
    return app::WinMain(argc, argv);
}
