// Entry point: the start-up sequence lives in the application shell.
#include "app/Startup.h"

int main(int argc, char** argv)
{
    return Kubora::runKubora(argc, argv);
}
