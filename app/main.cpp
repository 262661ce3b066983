/// zenkel-html: the Zenkel HTML program with its main window.
#include "app/AppStart.h"

int main(int argc, char** argv)
{
    return zenkel::runApplication(argc, argv);
}
