#include "DozeRozOZUVersion.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTextStream(stdout) << "DozeRozOZU demo host " << DozeRozOZUVersion::version << " ("
                        << QString::fromLatin1(DozeRozOZUVersion::gitSHA).left(8) << ")\n"
                        << "The dashboard, device map and settings windows appear here as they are built.\n";
    return 0;
}
