// CTreeLabelEdit: the program's text edit as a tree's in-place label
// editor. Enter and Escape end the edit through the tree, losing the focus
// ends it as Enter does, and at every change of its text (the label put into
// it too) the editor takes the width of its text and the tree keeps it over
// the label. Portable.
#pragma once
#include "ui/widgets/text_edit.h"

template <class TTree>
class CTreeLabelEdit : public CTextEdit<TTree> {
 public:
  using Base = CTextEdit<TTree>;

  // The editor follows its text and the tree keeps it over its label (call
  // once it is created).
  void FollowLabel() {
    this->fitsText = true;
    this->change = BindCallback<TTree, &TTree::PlaceLabelEdit>(this->parent, &this->Parent());
  }
  u32 OnKeyDown(u32 key, u32 repeat, u32 data) {
    if (this->Parent().OnLabelEditKey(key)) return 1;
    return Base::OnKeyDown(key, repeat, data);
  }
  void OnFocusLeave() {
    Base::OnFocusLeave();
    this->Parent().OnLabelEditFocusLost();
  }
};
