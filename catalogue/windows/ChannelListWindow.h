#pragma once
// ChannelListWindow: the channel list window. Created once at start-up, it loads the
// catalogue and is then only shown modally and hidden again, so its page,
// filters and lists persist through the run.

#include "catalogue/ListLoading.h"
#include "catalogue/ListWindowRules.h"
#include "catalogue/StationDatabase.h"
#include "catalogue/windows/StationListBox.h"
#include "playback/PlayTarget.h"
#include "widgets/WidgetSupport.h"

#include <gtkmm.h>

#include <string>
#include <vector>

namespace telvanta {

class ChannelListWindow : public Gtk::Window {
 public:
  // main is where plays go (InitControl, caption, PlayTV).
  ChannelListWindow(Gtk::Window& owner, PlayTarget& main);

  // Connects the database, restores the filters, loads every list, picks the
  // start page and the video size. Errors pass on to the caller.
  void FormCreate();

  void db_connect();
  void Loadcountrylist();
  void LoadChannel();
  void LoadRadio();
  void Loadwebcam();
  // The favourites list is filled by the favourites file; empty until then.
  void LoadFav();

  ListPage ActivePage() const;
  void SelectPage(ListPage page);
  // Shows the window modally on its selected page; returns once it is hidden.
  void ShowModal();

  // Handlers.
  void TeButton1Click();
  void ListBox1DblClick();
  void ListBox5DblClick();
  void Listbox7DblClick();
  void TeRadioButton1MouseUp();
  void TeRadioButton2MouseUp();
  void Label2Click();
  void Label3Click();

  // The filter boxes as LoadChannel reads them.
  TvFilter CurrentTvFilter() const;

  // Components.
  Gtk::Fixed Layout;
  Gtk::Label Label1;
  Gtk::Label Label4;
  Gtk::Notebook TePageControl1;
  StationListBox ListBox1;  // TV
  StationListBox ListBox5;  // radio
  StationListBox Listbox7;  // webcams
  StationListBox ListBox3;  // favourites
  // The twin lists: the plain URL of each visible entry, at the same index.
  std::vector<std::string> ListBox2;
  std::vector<std::string> ListBox6;
  std::vector<std::string> ListBox8;
  std::vector<std::string> ListBox4;
  Gtk::Frame TeGroupBox1;
  Gtk::Box GroupContent{Gtk::ORIENTATION_VERTICAL};
  Gtk::Label Label8;
  Gtk::ComboBoxText TeComboBox4;  // country
  Gtk::Label Label6;
  Gtk::ComboBoxText TeComboBox1;  // type
  Gtk::Label Label7;
  Gtk::ComboBoxText TeComboBox2;  // sort
  Gtk::ComboBoxText TeComboBox3;  // direction
  Gtk::Button TeButton1;
  Gtk::Label Label5;
  Gtk::RadioButton RadioButton1;
  Gtk::RadioButton RadioButton2;
  ClickLabel Label2;
  ClickLabel Label3;
  Gtk::Menu TePopupMenu1;  // TV
  Gtk::Menu TePopupMenu3;  // radio
  Gtk::Menu TePopupMenu4;  // webcams
  Gtk::Menu TePopupMenu2;  // favourites
  StationDatabase ADOConnection1;

  // Items of the country box, as shown.
  const std::vector<std::string>& CountryItems() const { return countryItems_; }

 protected:
  bool on_delete_event(GdkEventAny* event) override;

 private:
  void BuildLayout();
  void BuildPage(StationListBox& list, const char* component, const char* caption,
                 const char* icon);
  void BuildFilterGroup();
  void BuildMenus();
  void RestoreFilter(Gtk::ComboBoxText& box, const std::vector<std::string>& items,
                     const char* setting);
  void PlayFrom(StationListBox& list, const std::vector<std::string>& twin);
  void PopUp(Gtk::Menu& menu, GdkEventButton* event);
  void ConnectMouseUp(Gtk::RadioButton& button, void (ChannelListWindow::*handler)());

  Gtk::Window& owner_;
  PlayTarget& main_;
  std::vector<std::string> countryItems_;
};

}  // namespace telvanta
