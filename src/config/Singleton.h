#pragma once

#include "dozerozozu_export.h"

#include <QMutex>
#include <QMutexLocker>

/**
 * One instance of T per process, created with T's default arguments on first use and
 * never destroyed (nothing is saved or cleaned up at exit).
 *
 * The statics are exported so that the host, the library and every other module share
 * them: all see one and the same object. The mutex is created when the module that
 * instantiates the statics is loaded and is held on every fetch; a fetch that runs
 * before then (another module's start-up code) takes no lock.
 *
 *     YamlConfig* config = Singleton<YamlConfig>::instance();
 *
 * The object itself is not locked: use it on the thread its owner chose.
 */
template<typename T>
class DOZEROZOZU_EXPORT Singleton
{
public:
    static T* instance()
    {
        QMutexLocker lock(mutex);
        if (!_instance)
            _instance = new T();
        return _instance;
    }

    static T* _instance;
    static QMutex* mutex;

private:
    static QMutex* createMutex()
    {
        // Any module may initialise first; the one mutex must survive the others' initialisers.
        if (!mutexCreated) {
            mutexCreated = true;
            return new QMutex;
        }
        return mutex;
    }

    static bool mutexCreated;
};

template<typename T>
T* Singleton<T>::_instance = nullptr;
template<typename T>
bool Singleton<T>::mutexCreated = false;
template<typename T>
QMutex* Singleton<T>::mutex = Singleton<T>::createMutex();
