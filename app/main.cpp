#include "app/command_line.h"

int main(int argc, char** argv) { return kesto::app::run_kesto(argc, argv); }
