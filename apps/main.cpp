#include "core/MainLoop.h"

int main(int argc, char** argv) { MainLoop::run(argc, argv); }
