#pragma once

#include "dozerozozu_export.h"

#include <QString>

#include <memory>

class Helper;

/**
 * A public class that keeps its helpers private: nothing to report.
 */
class DOZEROZOZU_EXPORT Clean
{
public:
    Clean();
    ~Clean();
    /// Helper in a comment is no use of it; neither is "Helper" in a string.
    QString text() const { return QStringLiteral("Helper"); }

private:
    class Private;
    std::unique_ptr<Helper> helper;
};
