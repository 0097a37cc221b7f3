#include "app.h"
#include "commandline.h"

int main(int argc, char **argv)
{
    const commandline::Options options = commandline::parse(argc, argv);
    const int answered = commandline::answer(options);
    if (answered >= 0)
        return answered;
    return runApplication(argc, argv, {}, options.atLogin);
}
