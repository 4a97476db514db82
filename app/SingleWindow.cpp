#include "app/SingleWindow.h"

#include <unistd.h>

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include "platform/Digest.h"

namespace {

// How long a start waits for the running window to take its files. A window busy with an
// operation still answers at once: it takes the files and sends them when the operation ends.
constexpr int kAnswerMilliseconds = 5000;
// A request is a path a line, then an empty line; the window answers "ok" once it has them.
constexpr char kAnswer[] = "ok\n";
constexpr qint64 kMaxRequestBytes = 1024 * 1024;

QByteArray Request(const std::vector<std::string>& aPaths) {
    QByteArray request;
    for (const std::string& strPath : aPaths) {
        // The window runs in another folder: a relative path is made whole here.
        request += QFileInfo(QString::fromStdString(strPath)).absoluteFilePath().toUtf8() + '\n';
    }
    return request + '\n';
}

}  // namespace

CSingleWindow::CSingleWindow(const std::string& strDataFolder, QObject* pParent)
    : QObject(pParent) {
    std::string strFolderHash = Sha256Hex(strDataFolder).substr(0, 16);
    m_strName =
        QStringLiteral("rzkset-%1-%2").arg(getuid()).arg(QString::fromStdString(strFolderHash));
}

bool CSingleWindow::HandToRunningWindow(const std::vector<std::string>& aPaths) const {
    QLocalSocket socket;
    socket.connectToServer(m_strName);
    if (!socket.waitForConnected(kAnswerMilliseconds)) {
        return false;
    }
    socket.write(Request(aPaths));
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(kAnswerMilliseconds)) {
        answer += socket.readAll();
    }
    return answer == kAnswer;
}

bool CSingleWindow::Listen() {
    m_pServer = new QLocalServer(this);
    m_pServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_pServer, &QLocalServer::newConnection, this, &CSingleWindow::OnConnection);
    if (m_pServer->listen(m_strName)) {
        return true;
    }
    // A window that ended without cleaning up leaves its socket file: nobody answers there.
    QLocalServer::removeServer(m_strName);
    return m_pServer->listen(m_strName);
}

void CSingleWindow::OnConnection() {
    while (QLocalSocket* pSocket = m_pServer->nextPendingConnection()) {
        connect(pSocket, &QLocalSocket::disconnected, pSocket, &QObject::deleteLater);
        connect(pSocket, &QLocalSocket::readyRead, this, [this, pSocket] {
            QByteArray request = pSocket->peek(kMaxRequestBytes);
            if (!request.endsWith("\n\n") && request != "\n") {
                if (request.size() >= kMaxRequestBytes) {
                    pSocket->abort();
                }
                return;
            }
            pSocket->readAll();
            std::vector<std::string> aPaths;
            for (const QByteArray& line : request.split('\n')) {
                if (!line.isEmpty()) {
                    aPaths.push_back(line.toStdString());
                }
            }
            pSocket->write(kAnswer);
            pSocket->flush();
            emit FilesArrived(aPaths);
        });
    }
}
