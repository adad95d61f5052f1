// CTreeLabelEdit: the program's text edit as a tree's in-place label
// editor. Enter and Escape end the edit through the tree, losing the focus
// ends it as Enter does, and the tree keeps the editor over its label as
// the text changes. Portable.
#pragma once
#include "ui/widgets/text_edit.h"

template <class TTree>
class CTreeLabelEdit : public CTextEdit<TTree> {
 public:
  using Base = CTextEdit<TTree>;

  // The tree keeps the editor over its label (call once it is created).
  void FollowLabel() { this->change = BindCallback<TTree, &TTree::PlaceLabelEdit>(this->parent, &this->Parent()); }
  u32 OnKeyDown(u32 key, u32 repeat, u32 data) {
    if (this->Parent().OnLabelEditKey(key)) return 1;
    return Base::OnKeyDown(key, repeat, data);
  }
  void OnFocusLeave() {
    Base::OnFocusLeave();
    this->Parent().OnLabelEditFocusLost();
  }
};
