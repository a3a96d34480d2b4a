#pragma once
// A window whose stored layout gives it an application-properties component, set up by `layout`.
#include <functional>
#include <string>

#include "desktop/qelAppProps.h"
#include "toolkit/Form.h"

class PropsForm : public tk::Form {
 public:
  using Layout = std::function<void(TqelApplicationProperties&)>;
  PropsForm(tk::Component* owner, std::string name, Layout layout = {})
      : tk::Form(owner), name_(std::move(name)), layout_(std::move(layout)) {}
  TqelApplicationProperties* props = nullptr;

 protected:
  void AssignLayout() override {
    SetName(name_);
    props = NewProps();
    if (layout_) layout_(*props);
  }
  virtual TqelApplicationProperties* NewProps() { return new TqelApplicationProperties(this); }

 private:
  std::string name_;
  Layout layout_;
};
