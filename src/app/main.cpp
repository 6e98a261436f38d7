#include "app/application.h"

int main(int argc, char **argv)
{
    return ribbex::runApplication(argc, argv);
}
