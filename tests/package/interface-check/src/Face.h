#pragma once

#include "dozerozozu_export.h"

#include <QList>
#include <QObject>

class Helper;
class Inner;
class SourceOnly;
class QCPGraph;
namespace YAML {
class Node;
}
namespace HelperNamespace {
struct Reading;
}

/// A public class that shows internal classes in every place a host could see them.
class DOZEROZOZU_EXPORT Face : public QObject, public HelperBase
{
    Q_OBJECT
    Q_PROPERTY(Helper* helper READ helper)

public:
    Helper* helper() const;
    QList<Inner*> inners() const;
    int inlineBody() const { return Helper::count(); }
    void read(const HelperNamespace::Reading& reading);
    YAML::Node node() const;
    friend class Helper;
    class Faces;

protected:
    void take(SourceOnly& source);

Q_SIGNALS:
    void helperChanged(Helper* helper);

private:
    struct Row
    {
        Helper* helper;
        Inner* inner;
    };
    void keep(const HelperNamespace::Reading& reading);
    Helper* ownHelper = nullptr;
    QCPGraph* graph = nullptr;

public Q_SLOTS:
    void setInner(Inner* inner);
};

/// Free functions are seen as much as members.
DOZEROZOZU_EXPORT Helper* makeHelper();
