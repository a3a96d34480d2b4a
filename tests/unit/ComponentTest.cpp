// The owner tree: destruction order, free notification, and the Loaded notification.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/Component.h"

namespace {

std::vector<std::string> journal;

class Traced : public tk::Component {
 public:
  Traced(tk::Component* owner, std::string label) : tk::Component(owner), label_(std::move(label)) {
    SetName(label_);
  }
  ~Traced() override { journal.push_back("destroy " + label_); }
  tk::Component* watched = nullptr;

 protected:
  void Notification(tk::Component* c, tk::Operation op) override {
    if (op == tk::Operation::Remove && c == watched) {
      // The dying component is a plain Component by now: only what it is as one may be read.
      journal.push_back(label_ + " saw " + c->Name() + " go");
      watched = nullptr;
    }
  }
  void Loaded() override { journal.push_back("loaded " + label_); }

 private:
  std::string label_;
};

class Window : public Traced {
 public:
  using Traced::Traced;
  int layouts = 0;

 protected:
  void AssignLayout() override {
    ++layouts;
    EXPECT_TRUE(Loading());
    new Traced(this, "label");
    new Traced(this, "button");
  }
};

TEST(Component, OwnedComponentsGoWithTheirOwnerNewestFirst) {
  journal.clear();
  auto* root = new Traced(nullptr, "root");
  auto* first = new Traced(root, "first");
  new Traced(first, "first.child");
  new Traced(root, "second");
  auto* third = new Traced(root, "third");
  EXPECT_EQ(root->ComponentCount(), 3);
  delete third;  // leaves its owner's list at once
  EXPECT_EQ(root->ComponentCount(), 2);
  delete root;
  // The owner's own destructor body runs first; what it owns goes in the base destructor.
  EXPECT_EQ(journal, (std::vector<std::string>{"destroy third", "destroy root", "destroy second",
                                               "destroy first", "destroy first.child"}));
}

TEST(Component, FreeNotificationTellsTheWatcherAndForgetsAWatcherThatWentFirst) {
  journal.clear();
  Traced owner(nullptr, "owner");
  auto* target = new Traced(nullptr, "target");
  auto* watcher = new Traced(nullptr, "watcher");
  watcher->watched = target;
  target->FreeNotification(watcher);
  delete target;
  EXPECT_EQ(watcher->watched, nullptr);
  EXPECT_EQ(journal, (std::vector<std::string>{"destroy target", "watcher saw target go"}));

  // A watcher destroyed first is not told anything later (no dangling notification).
  journal.clear();
  auto* other = new Traced(nullptr, "other");
  auto* gone = new Traced(nullptr, "gone");
  gone->watched = other;
  other->FreeNotification(gone);
  delete gone;
  delete other;
  EXPECT_EQ(journal, (std::vector<std::string>{"destroy gone", "destroy other"}));
  delete watcher;
}

TEST(Component, LoadAssignsTheLayoutThenGivesLoadedOnceToTheComponentAndWhatItOwns) {
  journal.clear();
  Window window(nullptr, "window");
  EXPECT_EQ(window.layouts, 0);  // never by the constructor
  window.Load();
  EXPECT_FALSE(window.Loading());
  EXPECT_EQ(window.layouts, 1);
  EXPECT_EQ(journal, (std::vector<std::string>{"loaded window", "loaded label", "loaded button"}));
}

}  // namespace
