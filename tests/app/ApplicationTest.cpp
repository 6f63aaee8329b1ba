// The program's application object: exceptions thrown inside event handlers.
#include "app/Application.h"
#include "tests/app/AppTestSupport.h"

#include <QCoreApplication>
#include <QEvent>
#include <stdexcept>

namespace
{
const QEvent::Type ThrowStd = static_cast<QEvent::Type>(QEvent::User + 41);
const QEvent::Type ThrowOther = static_cast<QEvent::Type>(QEvent::User + 42);
const QEvent::Type Count = static_cast<QEvent::Type>(QEvent::User + 43);

class cThrowingObject : public QObject
{
public:
    bool event(QEvent *event) override
    {
        if (event->type() == ThrowStd)
            throw std::runtime_error("Handler failed");
        if (event->type() == ThrowOther)
            throw 7;
        if (event->type() == Count)
            ++Delivered;
        return QObject::event(event);
    }
    int Delivered = 0;
};
} // namespace

TEST(Application, ExceptionsInHandlersAreShownAndTheLoopGoesOn)
{
    ASSERT_NE(dynamic_cast<cApplication *>(QCoreApplication::instance()), nullptr);
    cRecordingHost host;
    cScopedHost installed(&host);
    cThrowingObject target;
    for (QEvent::Type type : {ThrowStd, Count, ThrowOther, Count})
        QCoreApplication::postEvent(&target, new QEvent(type));
    QCoreApplication::processEvents();
    EXPECT_EQ(target.Delivered, 2);
    EXPECT_EQ(Shown(host), (std::vector<std::string>{"Error | Handler failed | Ok", "Error |  | Ok"}));
}
