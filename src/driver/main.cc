#include "driver/folder_scan.h"

int main(int argc, char** argv) { return driver::runMain(argc, argv); }
