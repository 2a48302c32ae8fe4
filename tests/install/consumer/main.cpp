// A minimal application of the installed package: it only has to compile, link and run.
#include "quarlen.h"

int main() { return 0; }
