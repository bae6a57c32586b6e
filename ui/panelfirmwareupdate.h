// The firmware update the panel makes itself on Linux, where no updater
// application exists: checks the image and the unit, asks the user, runs the
// transfer on the device worker and reports how it went. It never quits the
// program.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

class PanelFirmwareUpdate : public QObject
{
    Q_OBJECT

public:
    // `currentModel` gives the window's current model text at the moment of
    // the request; `unitPresent` whether a unit is connected.
    PanelFirmwareUpdate(QWidget *dialogParent, std::function<QString()> currentModel,
                        std::function<bool()> unitPresent, QObject *parent = nullptr);

    bool running() const { return m_running; }

    // The text of the confirmation box.
    static QString confirmationText();
    // What the user reads after a transfer (an outcome of the device
    // worker); a refused image brings its own `detail`.
    static QString resultText(int outcome, const QString &detail = QString());

signals:
    // Between these two the meters must rest: the worker is busy.
    void transferStarted();
    void transferEnded();
    void progress(qint64 done, qint64 total);
    void result(bool ok, const QString &text);
    // The user said no: nothing to show, the image can go.
    void declined();
    // The update is over, whatever happened; after a result the window that
    // shows it lets the image go.
    void finished();

public slots:
    void install(const QString &path);

private slots:
    void transferProgress(quint32 pos, quint32 length, bool verifying);
    void transferResult(int outcome, QString detail);

private:
    void refuse(const QString &text);

    QWidget *m_dialogParent;
    std::function<QString()> m_currentModel;
    std::function<bool()> m_unitPresent;
    bool m_running = false;
};
