// A PostgreSQL server of the test's own: a fresh cluster in a temporary
// folder, reached over a Unix socket there, stopped and removed afterwards.
// initdb refuses to run as root, so under root (as in CI) the cluster belongs
// to the unprivileged user "nobody".
#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace tessum::server::test {

class TPostgresInstance {
public:
    static QString BinDir() { return QStringLiteral("/usr/lib/postgresql/15/bin"); }
    static bool Available() { return QFile::exists(BinDir() + QStringLiteral("/initdb")); }

    ~TPostgresInstance() { Stop(); }

    // Durable keeps fsync on; tests throw their data away and go without.
    bool Start(QString& Error, bool Durable = false) {
        dir_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tessum-pg-XXXXXX"));
        if (!dir_->isValid()) {
            Error = QStringLiteral("no temporary folder");
            return false;
        }
        if (::geteuid() == 0) {
            const passwd* pw = ::getpwnam("nobody");
            if (!pw || ::chown(QFile::encodeName(dir_->path()).constData(), pw->pw_uid, pw->pw_gid) != 0) {
                Error = QStringLiteral("cannot hand the folder to nobody");
                return false;
            }
            asNobody_ = true;
        }
        const QString data = dir_->path() + QStringLiteral("/data");
        if (!Run(QStringLiteral("initdb"),
                 {QStringLiteral("-D"), data, QStringLiteral("-U"), QStringLiteral("tessum"), QStringLiteral("-A"),
                  QStringLiteral("trust"), QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--no-locale"),
                  QStringLiteral("-N")},
                 Error))
            return false;
        // Socket only, in the test's folder: nothing to clash with other
        // servers on the machine; fsync off, the data is thrown away anyway.
        const QString options = QStringLiteral("-k %1 -c listen_addresses= -p 5432 -c max_connections=50%2")
                                    .arg(dir_->path(), Durable ? QString() : QStringLiteral(" -F"));
        if (!Run(QStringLiteral("pg_ctl"),
                 {QStringLiteral("-D"), data, QStringLiteral("-l"), dir_->path() + QStringLiteral("/log"),
                  QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("-o"), options,
                  QStringLiteral("start")},
                 Error))
            return false;
        started_ = true;
        return true;
    }

    void Stop() {
        if (!started_) return;
        QString ignored;
        Run(QStringLiteral("pg_ctl"),
            {QStringLiteral("-D"), dir_->path() + QStringLiteral("/data"), QStringLiteral("-m"), QStringLiteral("fast"),
             QStringLiteral("-w"), QStringLiteral("stop")},
            ignored);
        started_ = false;
    }

    // The address the highscore server takes for it.
    QString Url() const { return QStringLiteral("postgresql://tessum@/postgres?host=%1").arg(dir_->path()); }
    QString Log() const {
        QFile f(dir_->path() + QStringLiteral("/log"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private:
    bool Run(const QString& Tool, const QStringList& Args, QString& Error) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.setWorkingDirectory(dir_->path());
        const QString program = BinDir() + u'/' + Tool;
        if (asNobody_)
            p.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("nobody"),
                                                           QStringLiteral("--"), program} +
                                                   Args);
        else
            p.start(program, Args);
        p.closeWriteChannel();
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            Error = Tool + QStringLiteral(" failed: ") + QString::fromLocal8Bit(p.readAll());
            return false;
        }
        return true;
    }

    std::unique_ptr<QTemporaryDir> dir_;
    bool asNobody_ = false;
    bool started_ = false;
};

}  // namespace tessum::server::test
