#pragma once
// Hover-focus notification between a container window and the application.
#include "platform/export.h"

// Implemented by the application: told when the pointer brings an object of a container into
// hover focus (1) or takes it away (0).
class QUARLEN_API IObjectFocusedConsumer {
 public:
  virtual void OnObjectFocused(int focused) = 0;

 protected:
  ~IObjectFocusedConsumer() = default;
};

// Implemented by the container window. A consumer registered twice is notified twice;
// unregistering removes its first registration.
class QUARLEN_API IRegisterToFocusNotification {
 public:
  virtual void RegisterToFocusNotification(IObjectFocusedConsumer* consumer) = 0;
  virtual void UnregisterToFocusNotification(IObjectFocusedConsumer* consumer) = 0;

 protected:
  ~IRegisterToFocusNotification() = default;
};
