// The explorer page's window and host in one, for the page's tests:
// records notices and closes, and holds a main menu.
#pragma once
#include <tuple>
#include <utility>
#include <vector>

#include "app/commands/main_menu.h"
#include "app/pages/explorer_page.h"
#include "ui/support/fake_owner.h"

class CExplorerOwner : public CFakeOwnerOf<CExplorerOwner> {
 public:
  typedef CExplorerPage<CExplorerOwner> Page;
  CExplorerOwner() { menu = BuildMainMenu(&storage); }
  auto Children() { return std::tie(page); }
  void ShowNotice(u32 title, NoticeText text) { notices.push_back({title, text}); }
  template <class TPage>
  void PrepareExplorerPage(TPage&) {}
  bool ClosePage(CPageHolder* holder) {
    closed.push_back(holder);
    return true;
  }
  bool RemovePage(CPageHolder* holder) { return ClosePage(holder); }

  MainMenuStorage storage;
  CMenuModel* menu = nullptr;
  Page page;
  std::vector<std::pair<u32, NoticeText>> notices;
  std::vector<CPageHolder*> closed;
};
