#pragma once

#include <QByteArray>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/resource.h>

// Every test program runs with its configuration, data and home directories
// inside a temporary directory: no test touches the real user's files.
struct TestEnv {
    QTemporaryDir root;
    TestEnv()
    {
        for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "HOME", "XDG_RUNTIME_DIR"}) {
            const QString dir = root.path() + QLatin1Char('/') + QString::fromLatin1(name);
            QDir().mkpath(dir);
            QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            qputenv(name, dir.toLocal8Bit());
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
};

// A full disk for as long as it lives: files may not grow past limit bytes.
// The program itself must have SIGXFSZ ignored (start-up does it), or the
// first write past the limit kills the test: that is one of the faults the
// tests look for.
struct FileSizeLimit {
    rlimit saved{};
    explicit FileSizeLimit(rlim_t limit)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
};

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A test program's main: the temporary environment first, then the
// application (QApplication for widget tests, QCoreApplication for core ones).
#define ORVANE_TEST_MAIN_WITH(AppClass, TestClass)                                                                     \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        TestEnv env;                                                                                                   \
        AppClass app(argc, argv);                                                                                      \
        TestClass tc;                                                                                                  \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }

#define ORVANE_GUI_TEST_MAIN(TestClass) ORVANE_TEST_MAIN_WITH(QApplication, TestClass)
#define ORVANE_CORE_TEST_MAIN(TestClass) ORVANE_TEST_MAIN_WITH(QCoreApplication, TestClass)
