#include "cli.h"

int main(int argc, char **argv)
{
    return ctl::run(argc, argv);
}
