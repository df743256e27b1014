// The base of everything that raises events. Handlers receive the raising object as their
// first argument (the sender) and can tell what kind of object it is by its class name.
#pragma once

#include <string>
#include <string_view>

namespace tavi {

class TObject {
 public:
  virtual ~TObject() = default;
  virtual std::string_view ClassName() const = 0;

 protected:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
};

// A named, non-visual part of a window or of another component. The owner destroys it
// (it holds the component as a member or through a unique_ptr); the pointer only lets a
// handler find its way back.
class TComponent : public TObject {
 public:
  explicit TComponent(TObject* owner) : owner_(owner) {}

  TObject* Owner() const { return owner_; }

  std::string Name;

 private:
  TObject* owner_;
};

}  // namespace tavi
