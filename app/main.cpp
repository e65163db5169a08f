// The program takes no command line and always ends with exit code 0.
#include "app.h"

int main() {
    return RunProgram();
}
