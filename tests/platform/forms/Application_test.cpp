#include "platform/qt/Application.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <stdexcept>

#include "tests/common/TestEnv.h"

namespace hv {
namespace {

class Thrower : public QObject {
 protected:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw std::runtime_error("Division by zero");
    return QObject::event(e);
  }
};

TEST(Application, EscapedExceptionsBecomeAnErrorBoxCaptionedWithTheTitle) {
  test::Scripted p;
  auto* app = static_cast<Application*>(QCoreApplication::instance());
  app->setPlatform(&p);
  p.expectMessage(ModalResult::OK, "Halvardin", "Division by zero");
  Thrower t;
  QEvent e(QEvent::User);
  EXPECT_FALSE(QCoreApplication::sendEvent(&t, &e));
  app->setPlatform(nullptr);
  ASSERT_EQ(p.messages().size(), 1u);
  EXPECT_EQ(p.messages()[0].sound, Sound::Hand);
}

}  // namespace
}  // namespace hv
