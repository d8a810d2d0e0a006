#include "shell/forms.h"

int main(int argc, char* argv[]) {
    return shell::Start(argc, argv);
}
