/// Runs the options window's test classes one after another in one application.
#include <QApplication>

int runOptionsRulesTest(int argc, char** argv);
int runTFormOptionsTest(int argc, char** argv);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int failures = 0;
    failures += runOptionsRulesTest(argc, argv);
    failures += runTFormOptionsTest(argc, argv);
    return failures == 0 ? 0 : 1;
}
