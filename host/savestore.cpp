#include "savestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

// Shared by the store and its writer thread, which may outlive the store:
// at quit the player does not wait for a disk that never answers.
struct SaveStore::Queue
{
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<QString> order; // paths waiting, oldest first
    std::map<QString, QByteArray> latest; // the bytes to write for each
    bool writing = false;
    QString reportedError; // the problem last reported, until a success
    SaveStore *owner = nullptr; // cleared by the store's destructor

    void run();
};

void SaveStore::Queue::run()
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return !order.empty(); });
        const QString path = order.front();
        order.pop_front();
        const QByteArray bytes = latest[path];
        latest.erase(path);
        writing = true;
        lock.unlock();
        QString error;
        // No bytes: the game cleared the object.
        const bool written = bytes.isEmpty() ? savetree::removeFile(path, &error)
                                             : savetree::writeAtomically(path, bytes, &error);
        lock.lock();
        writing = false;
        if (written) {
            reportedError.clear();
        } else if (error != reportedError) {
            reportedError = error;
            if (owner)
                owner->reportFromWriter(error);
        }
        changed.notify_all();
    }
}

SaveStore::SaveStore(QObject *parent)
    : QObject(parent)
    , m_queue(std::make_shared<Queue>())
{
    m_queue->owner = this;
    setFolder(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    std::shared_ptr<Queue> queue = m_queue;
    std::thread([queue]() { queue->run(); }).detach();
}

SaveStore::~SaveStore()
{
    std::lock_guard<std::mutex> lock(m_queue->mutex);
    m_queue->owner = nullptr;
}

QString SaveStore::treeBelow(const QString &folder)
{
    return QDir::cleanPath(folder + QLatin1String("/SharedObjects"));
}

void SaveStore::setFolder(const QString &folder)
{
    if (!folder.isEmpty())
        m_root = treeBelow(folder);
}

void SaveStore::setGameFile(const QString &game)
{
    m_place = savetree::placeOf(game);
    m_importsOpen = m_place.isValid();
}

QString SaveStore::fileOf(const QString &key, bool anywhereOnSite) const
{
    const QString relative = savetree::relativeFileOf(m_place, key, anywhereOnSite);
    return relative.isEmpty() || m_root.isEmpty() ? QString()
                                                  : m_root + QLatin1Char('/') + relative;
}

SaveStore::Result SaveStore::read(const QString &key, QByteArray *bytes)
{
    m_importsOpen = false;
    const QString path = fileOf(key);
    if (path.isEmpty())
        return Result::Refused;
    {
        // A write still on its way is what the game saved last.
        std::lock_guard<std::mutex> lock(m_queue->mutex);
        const auto waiting = m_queue->latest.find(path);
        if (waiting != m_queue->latest.end()) {
            *bytes = waiting->second;
            return bytes->isEmpty() ? Result::NotFound : Result::Done;
        }
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QFileInfo::exists(path) ? Result::Failed : Result::NotFound;
    *bytes = file.readAll();
    file.close();
    if (savetree::looksLikeSol(*bytes))
        return Result::Done;
    const QString aside = savetree::setAside(path);
    std::fprintf(stderr,
                 "vorlumen: a damaged save was set aside as %s; the game starts without it\n",
                 qPrintable(aside.isEmpty() ? path : aside));
    bytes->clear();
    return Result::NotFound;
}

SaveStore::Result SaveStore::write(const QString &key, const QByteArray &bytes)
{
    if (!savetree::looksLikeSol(bytes))
        return Result::Refused;
    return queue(key, bytes);
}

SaveStore::Result SaveStore::remove(const QString &key)
{
    return queue(key, QByteArray());
}

SaveStore::Result SaveStore::queue(const QString &key, const QByteArray &bytes)
{
    m_importsOpen = false;
    const QString path = fileOf(key);
    if (path.isEmpty())
        return Result::Refused;
    std::lock_guard<std::mutex> lock(m_queue->mutex);
    if (m_queue->latest.find(path) == m_queue->latest.end())
        m_queue->order.push_back(path);
    m_queue->latest[path] = bytes;
    m_queue->changed.notify_all();
    return Result::Done;
}

SaveStore::Result SaveStore::importFromWebStorage(const QString &key, const QByteArray &bytes)
{
    const QString path = fileOf(key, true);
    if (!m_importsOpen || path.isEmpty() || !savetree::looksLikeSol(bytes))
        return Result::Refused;
    const QString target
        = QFileInfo::exists(path) ? path + QLatin1String(".from-web-storage") : path;
    QString error;
    if (QFileInfo::exists(target) || savetree::writeAtomically(target, bytes, &error))
        return Result::Done;
    std::fprintf(stderr, "vorlumen: a save kept by the web engine could not be moved to %s: %s\n",
                 qPrintable(path), qPrintable(error));
    return Result::Failed;
}

bool SaveStore::waitForWrites(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_queue->mutex);
    return m_queue->changed.wait_for(lock, std::chrono::milliseconds(qMax(0, timeoutMs)), [this] {
        return m_queue->order.empty() && !m_queue->writing;
    });
}

// On the writer's thread, the queue's lock held.
void SaveStore::reportFromWriter(const QString &error)
{
    const QString text = QStringLiteral("saves could not be written (%1); the game plays on and "
                                        "its last good save is kept")
                             .arg(error);
    QMetaObject::invokeMethod(
        this,
        [this, text]() {
            std::fprintf(stderr, "vorlumen: %s\n", qPrintable(text));
            emit problem(text);
        },
        Qt::QueuedConnection);
}
