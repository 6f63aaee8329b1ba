#include "app/QtHost.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QThread>
#include <QWidget>
#include <climits>

cHostAnswer cQtHost::MessageBox(const std::string &text, const std::string &caption, cHostButtons buttons)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    // The user answers the box with the normal cursor; the busy one comes back afterwards.
    const bool busy = CursorSet;
    SetBusyCursor(false);
    struct cRestore
    {
        cQtHost &Host;
        bool Busy;
        ~cRestore() { Host.SetBusyCursor(Busy); }
    } restore{*this, busy};
    if (buttons == cHostButtons::YesNo)
    {
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? cHostAnswer::Yes : cHostAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return cHostAnswer::Ok;
}

void cQtHost::ProcessMessages()
{
    QCoreApplication::processEvents();
}

void cQtHost::RepaintWindows()
{
    const QCoreApplication *application = QCoreApplication::instance();
    if (Repainting || application == nullptr || QThread::currentThread() != application->thread())
        return;
    Repainting = true;
    // What update() asked for travels as posted update requests; only those are delivered.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    if (!SinceFullRepaint.isValid() || SinceFullRepaint.elapsed() >= FullRepaintMs)
    {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window->isVisible())
                window->repaint();
        SinceFullRepaint.start();
    }
    Repainting = false;
}

void cQtHost::SetBusyCursor(bool busy)
{
    // Only one override of our own is kept, however often the busy state is set.
    if (busy && !CursorSet)
    {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        CursorSet = true;
    }
    else if (!busy && CursorSet)
    {
        QGuiApplication::restoreOverrideCursor();
        CursorSet = false;
    }
}

void cQtHost::Terminate()
{
    QCoreApplication::quit();
}

bool cQtHost::StartProgram(const std::string &path)
{
    return QProcess::startDetached(QString::fromStdString(path), {});
}

namespace
{
int ClampToInt(long long value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < 0)
        return 0;
    return static_cast<int>(value);
}
} // namespace

void cQtProgressSink::SetMax(long long max)
{
    if (Bar)
        Bar->setMaximum(ClampToInt(max));
}

void cQtProgressSink::SetPosition(long long position)
{
    if (Bar)
        Bar->setValue(ClampToInt(position));
}

void cQtProgressSink::Show()
{
    if (Bar)
        Bar->show();
}

void cQtProgressSink::Hide()
{
    if (Bar)
        Bar->hide();
}
