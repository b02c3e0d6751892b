#include "platform/qt/termination.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QSessionManager>

#include <utility>

namespace quillet::qtui {

TerminationWatcher::TerminationWatcher(std::function<void()> onRequest,
                                       std::function<void()> onSaveRequest)
    : onRequest_(std::move(onRequest)), onSaveRequest_(std::move(onSaveRequest)) {
  signals_ = routeTerminationSignals(*this, [this] { requested(); });
#ifndef QT_NO_SESSIONMANAGER
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    connect(app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
      if (onSaveRequest_) onSaveRequest_();
    });
  }
#endif
}

TerminationWatcher::~TerminationWatcher() = default;

void TerminationWatcher::requested() {
  if (onRequest_) onRequest_();
}

}  // namespace quillet::qtui
