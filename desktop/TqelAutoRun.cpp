#include "desktop/qelComponents.h"

TqelAutoRun::TqelAutoRun(tk::Component* owner) : TqelComponent(owner), fileName_(ExecutableFileName()) {}

void TqelAutoRun::Loaded() {
  TqelComponent::Loaded();
  WriteEntry();
}

void TqelAutoRun::WriteEntry() {
  DeleteEntry();
  if (autoRun_) AutoExecRegister(kind_, fileName_);
}

void TqelAutoRun::DeleteEntry() { AutoExecUnregister(kind_, fileName_); }

template <typename T>
void TqelAutoRun::Change(T& field, const T& value) {
  if (field == value) return;
  DeleteEntry();
  field = value;
  WriteEntry();
}

void TqelAutoRun::SetAutoRun(bool autoRun) { Change(autoRun_, autoRun); }
void TqelAutoRun::SetFileName(const std::string& fileName) { Change(fileName_, fileName); }
void TqelAutoRun::SetKind(TqelAutoExecKind kind) { Change(kind_, kind); }
