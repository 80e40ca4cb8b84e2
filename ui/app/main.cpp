#include "ui/app/GuiProgram.h"

int main(int argc, char** argv) {
    return mofeng::ui::RunGuiProgram(argc, argv);
}
