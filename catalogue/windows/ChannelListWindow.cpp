#include "catalogue/windows/ChannelListWindow.h"

#include "common/Captions.h"
#include "settings/Settings.h"
#include "widgets/ErrorDisplay.h"

namespace telvanta {

namespace {

constexpr int ClientWidth = 586;
constexpr int ClientHeight = 451;

const char* const WindowCss =
    "#FrmList { font-family: \"MS Sans Serif\", \"DejaVu Sans\", sans-serif; font-size: 8pt; }\n"
    "#FrmList button, #FrmList combobox button { min-height: 16px; padding: 2px 6px; }\n"
    "#FrmList notebook tab { padding: 2px 4px; min-height: 0; }\n"
    "#FrmList .bold { font-weight: bold; }\n"
    "#FrmList .link { text-decoration-line: underline; }\n"
    "#FrmList treeview { -GtkTreeView-vertical-separator: 0; -GtkTreeView-horizontal-separator: 0;"
    " -GtkTreeView-expander-size: 10; }\n";

// Replaces a box's items.
void SetItems(Gtk::ComboBoxText& box, const std::vector<std::string>& items) {
  box.remove_all();
  for (const auto& item : items) {
    box.append(item);
  }
}

// Fills a visible list from a loaded StationList and keeps its twin, also
// when the load stopped half-way.
class ListFill {
 public:
  ListFill(StationListBox& list, std::vector<std::string>& twin) : list_(list), twin_(twin) {}
  ~ListFill() {
    list_.Fill(loaded.entries, loaded.streamClasses);
    twin_ = std::move(loaded.urls);
  }
  ListFill(const ListFill&) = delete;
  ListFill& operator=(const ListFill&) = delete;
  StationList loaded;

 private:
  StationListBox& list_;
  std::vector<std::string>& twin_;
};

// The hourglass and a disabled button while Go! loads; restored however the
// load ends.
class BusyGo {
 public:
  BusyGo(Gtk::Window& window, Gtk::Button& button) : window_(window), button_(button) {
    button_.set_sensitive(false);
    if (auto gdk = window_.get_window()) {
      gdk->set_cursor(Gdk::Cursor::create(window_.get_display(), "wait"));
      window_.get_display()->flush();
    }
  }
  ~BusyGo() {
    button_.set_sensitive(true);
    if (auto gdk = window_.get_window()) {
      gdk->set_cursor();
    }
  }
  BusyGo(const BusyGo&) = delete;
  BusyGo& operator=(const BusyGo&) = delete;

 private:
  Gtk::Window& window_;
  Gtk::Button& button_;
};

FilterBoxState BoxState(const Gtk::ComboBoxText& box) {
  return {box.get_active_row_number(), box.get_active_text()};
}

}  // namespace

ChannelListWindow::ChannelListWindow(Gtk::Window& owner, PlayTarget& main)
    : Label1("Quick Start: Double-Click a channel to play"),
      Label4("For more options, right click on the channel's name"),
      Label8("Country:"),
      Label6("Type:"),
      Label7("Sort By:"),
      TeButton1("Go!"),
      Label5("Video Size:"),
      RadioButton1("Original Size"),
      RadioButton2("Fit to window"),
      Label2(">About picture quality "),
      Label3(">About connection"),
      owner_(owner),
      main_(main) {
  NameComponent(*this, "FrmList", "Telvanta");
  set_title(std::string(ApplicationTitle));
  set_position(Gtk::WIN_POS_CENTER);
  set_default_size(ClientWidth, ClientHeight);
  set_resizable(false);
  set_type_hint(Gdk::WINDOW_TYPE_HINT_DIALOG);
  InstallStyle(WindowCss);
  BuildLayout();
  BuildMenus();
  show_all_children();
}

void ChannelListWindow::BuildLayout() {
  Layout.set_size_request(ClientWidth, ClientHeight);
  add(Layout);
  for (auto* label : {&Label1, &Label4, &Label5}) {
    label->get_style_context()->add_class("bold");
  }
  NameComponent(Label1, "Label1", Label1.get_text().raw());
  NameComponent(Label4, "Label4", Label4.get_text().raw());
  Layout.put(Label1, 24, 16);
  Layout.put(Label4, 24, 32);

  NameComponent(TePageControl1, "TePageControl1");
  TePageControl1.set_size_request(409, 369);
  BuildPage(ListBox1, "ListBox1", "&TV Stations", "tv");
  BuildPage(ListBox5, "ListBox5", "&Radio Stations", "radio");
  BuildPage(Listbox7, "Listbox7", "&Webcams", "webcam");
  BuildPage(ListBox3, "ListBox3", "My &Favorites", "favorites");
  Layout.put(TePageControl1, 16, 56);

  BuildFilterGroup();
  Layout.put(TeGroupBox1, 432, 72);

  NameComponent(Label5, "Label5", "Video Size:");
  Layout.put(Label5, 440, 356);
  RadioButton2.join_group(RadioButton1);
  RadioButton1.set_active(true);
  NameComponent(RadioButton1, "RadioButton1", "Original Size");
  NameComponent(RadioButton2, "RadioButton2", "Fit to window");
  Layout.put(RadioButton1, 440, 376);
  Layout.put(RadioButton2, 440, 400);
  ConnectMouseUp(RadioButton1, &ChannelListWindow::TeRadioButton1MouseUp);
  ConnectMouseUp(RadioButton2, &ChannelListWindow::TeRadioButton2MouseUp);

  for (auto* link : {&Label2, &Label3}) {
    link->label().get_style_context()->add_class("link");
  }
  NameComponent(Label2, "Label2", ">About picture quality ");
  NameComponent(Label3, "Label3", ">About connection");
  Label2.signal_clicked().connect(sigc::mem_fun(*this, &ChannelListWindow::Label2Click));
  Label3.signal_clicked().connect(sigc::mem_fun(*this, &ChannelListWindow::Label3Click));
  Layout.put(Label2, 16, 432);
  Layout.put(Label3, 144, 432);

  ListBox1.signal_dbl_click().connect(sigc::mem_fun(*this, &ChannelListWindow::ListBox1DblClick));
  ListBox5.signal_dbl_click().connect(sigc::mem_fun(*this, &ChannelListWindow::ListBox5DblClick));
  Listbox7.signal_dbl_click().connect(sigc::mem_fun(*this, &ChannelListWindow::Listbox7DblClick));
}

void ChannelListWindow::BuildPage(StationListBox& list, const char* component, const char* caption,
                                  const char* icon) {
  NameComponent(list, component, caption);
  NameComponent(list.View(), std::string(component) + "View", caption);
  auto* tab = Gtk::make_managed<Gtk::Box>(Gtk::ORIENTATION_HORIZONTAL, 3);
  auto* image = Gtk::make_managed<Gtk::Image>(Picture(icon, 16));
  // No mnemonic widget: the mnemonic goes up to the tab, and the notebook
  // switches to its page.
  auto* label = Gtk::make_managed<Gtk::Label>(GtkMnemonic(caption), true);
  tab->pack_start(*image, false, false);
  tab->pack_start(*label, false, false);
  tab->show_all();
  TePageControl1.append_page(list, *tab);
}

void ChannelListWindow::BuildFilterGroup() {
  NameComponent(TeGroupBox1, "TeGroupBox1", "Filter TV Stations");
  TeGroupBox1.set_label("Filter TV Stations");
  TeGroupBox1.set_size_request(145, 265);
  GroupContent.set_spacing(4);
  GroupContent.set_border_width(8);
  TeGroupBox1.add(GroupContent);

  NameComponent(Label8, "Label8", "Country:");
  NameComponent(TeComboBox4, "TeComboBox4", "Country:");
  NameComponent(Label6, "Label6", "Type:");
  NameComponent(TeComboBox1, "TeComboBox1", "Type:");
  NameComponent(Label7, "Label7", "Sort By:");
  NameComponent(TeComboBox2, "TeComboBox2", "Sort By:");
  NameComponent(TeComboBox3, "TeComboBox3", "Order:");
  NameComponent(TeButton1, "TeButton1", "Go!");

  countryItems_.assign(CountryFilterFixedItems.begin(), CountryFilterFixedItems.end());
  SetItems(TeComboBox4, countryItems_);
  SetItems(TeComboBox1, TypeItems);
  SetItems(TeComboBox2, SortItems);
  SetItems(TeComboBox3, OrderItems);
  for (auto* box : {&TeComboBox4, &TeComboBox1, &TeComboBox2, &TeComboBox3}) {
    box->set_active(0);
    box->set_size_request(129, -1);
    // Long country names must not widen the group.
    if (auto* cell = dynamic_cast<Gtk::CellRendererText*>(box->get_first_cell())) {
      cell->property_ellipsize() = Pango::ELLIPSIZE_END;
      cell->property_width_chars() = 1;
      cell->property_max_width_chars() = 14;
    }
  }
  for (auto* label : {&Label8, &Label6, &Label7}) {
    label->set_xalign(0.0F);
  }

  GroupContent.pack_start(Label8, false, false);
  GroupContent.pack_start(TeComboBox4, false, false);
  GroupContent.pack_start(Label6, false, false);
  GroupContent.pack_start(TeComboBox1, false, false);
  GroupContent.pack_start(Label7, false, false);
  GroupContent.pack_start(TeComboBox2, false, false);
  GroupContent.pack_start(TeComboBox3, false, false);
  GroupContent.pack_end(TeButton1, false, false);
  TeButton1.signal_clicked().connect(sigc::mem_fun(*this, &ChannelListWindow::TeButton1Click));
}

void ChannelListWindow::BuildMenus() {
  const auto play = Picture("play", 16);
  // Items that other commands take over stay disabled until then.
  auto later = [](Gtk::MenuItem& item) { item.set_sensitive(false); };

  NameComponent(TePopupMenu1, "TePopupMenu1");
  AddMenuItem(TePopupMenu1, "CustomItem27", "Play", play)
      .signal_activate()
      .connect(sigc::mem_fun(*this, &ChannelListWindow::ListBox1DblClick));
  AddSeparator(TePopupMenu1, "CustomItem44");
  later(AddMenuItem(TePopupMenu1, "CustomItem28", "Add this channel to My Favorites"));
  later(AddMenuItem(TePopupMenu1, "CustomItem6", "Add your own channel to My Favorites"));
  AddSeparator(TePopupMenu1, "CustomItem2");
  later(AddMenuItem(TePopupMenu1, "CustomItem43", "Properties..."));

  NameComponent(TePopupMenu3, "TePopupMenu3");
  AddMenuItem(TePopupMenu3, "TeItem1", "Play", play)
      .signal_activate()
      .connect(sigc::mem_fun(*this, &ChannelListWindow::ListBox5DblClick));
  AddSeparator(TePopupMenu3, "CustomItem8");
  later(AddMenuItem(TePopupMenu3, "TeItem2", "Add this channel to My Favorites"));
  later(AddMenuItem(TePopupMenu3, "CustomItem10", "Report a bad link"));
  later(AddMenuItem(TePopupMenu3, "CustomItem7", "Add your own channel to My Favorites"));

  NameComponent(TePopupMenu4, "TePopupMenu4");
  AddMenuItem(TePopupMenu4, "TeItem3", "Play", play)
      .signal_activate()
      .connect(sigc::mem_fun(*this, &ChannelListWindow::Listbox7DblClick));
  AddSeparator(TePopupMenu4, "TeItem4");
  later(AddMenuItem(TePopupMenu4, "TeItem5", "Add this webcam to My Favorites"));
  later(AddMenuItem(TePopupMenu4, "TeItem6", "Report a bad link"));

  NameComponent(TePopupMenu2, "TePopupMenu2");
  later(AddMenuItem(TePopupMenu2, "CustomItem29", "Play", play));
  later(AddMenuItem(TePopupMenu2, "CustomItem3", "Rename"));
  later(AddMenuItem(TePopupMenu2, "CustomItem30", "Delete"));
  AddSeparator(TePopupMenu2);
  later(AddMenuItem(TePopupMenu2, "CustomItem4", "Add your own channel to My Favorites"));

  for (auto* menu : {&TePopupMenu1, &TePopupMenu3, &TePopupMenu4, &TePopupMenu2}) {
    menu->attach_to_widget(*this);
  }
  ListBox1.signal_context_menu().connect([this](GdkEventButton* e) { PopUp(TePopupMenu1, e); });
  ListBox5.signal_context_menu().connect([this](GdkEventButton* e) { PopUp(TePopupMenu3, e); });
  Listbox7.signal_context_menu().connect([this](GdkEventButton* e) { PopUp(TePopupMenu4, e); });
  ListBox3.signal_context_menu().connect([this](GdkEventButton* e) { PopUp(TePopupMenu2, e); });
}

void ChannelListWindow::PopUp(Gtk::Menu& menu, GdkEventButton* event) {
  menu.popup_at_pointer(reinterpret_cast<GdkEvent*>(event));
}

void ChannelListWindow::FormCreate() {
  db_connect();
  Loadcountrylist();
  RestoreFilter(TeComboBox4, countryItems_, "FilterCountry");
  RestoreFilter(TeComboBox1, TypeItems, "FilterType");
  RestoreFilter(TeComboBox2, SortItems, "SortBy");
  RestoreFilter(TeComboBox3, OrderItems, "OrderBy");
  LoadChannel();
  LoadRadio();
  Loadwebcam();
  LoadFav();
  SelectPage(StartPageFor(ReadSetting("OnStartupDisplay")));
  if (StretchIsFit(ReadSetting("Stretch"))) {
    RadioButton2.set_active(true);
  } else {
    RadioButton1.set_active(true);
  }
}

void ChannelListWindow::RestoreFilter(Gtk::ComboBoxText& box, const std::vector<std::string>& items,
                                      const char* setting) {
  const std::string stored = ReadSetting(setting);
  if (stored.empty()) {
    return;
  }
  const auto found = FindItemIgnoringCase(items, stored);
  box.set_active(found ? static_cast<int>(*found) : -1);
}

void ChannelListWindow::db_connect() { ADOConnection1.db_connect(); }

void ChannelListWindow::Loadcountrylist() {
  // The box shows what was appended, also when the load stops half-way.
  auto showAppended = [this] {
    const auto shown = TeComboBox4.get_model()->children().size();
    for (std::size_t i = shown; i < countryItems_.size(); ++i) {
      TeComboBox4.append(countryItems_[i]);
    }
  };
  try {
    telvanta::Loadcountrylist(ADOConnection1, countryItems_);
  } catch (...) {
    showAppended();
    throw;
  }
  showAppended();
}

TvFilter ChannelListWindow::CurrentTvFilter() const {
  TvFilter filter;
  filter.typeIndex = TeComboBox1.get_active_row_number();
  filter.typeText = TeComboBox1.get_active_text();
  filter.countryIndex = TeComboBox4.get_active_row_number();
  filter.countryText = TeComboBox4.get_active_text();
  filter.sortText = TeComboBox2.get_active_text();
  filter.directionText = TeComboBox3.get_active_text();
  return filter;
}

void ChannelListWindow::LoadChannel() {
  ListFill fill(ListBox1, ListBox2);
  telvanta::LoadChannel(ADOConnection1, CurrentTvFilter(), fill.loaded);
}

void ChannelListWindow::LoadRadio() {
  ListFill fill(ListBox5, ListBox6);
  telvanta::LoadRadio(ADOConnection1, fill.loaded);
}

void ChannelListWindow::Loadwebcam() {
  ListFill fill(Listbox7, ListBox8);
  telvanta::Loadwebcam(ADOConnection1, fill.loaded);
}

void ChannelListWindow::LoadFav() {}

ListPage ChannelListWindow::ActivePage() const {
  return static_cast<ListPage>(TePageControl1.get_current_page());
}

void ChannelListWindow::SelectPage(ListPage page) {
  TePageControl1.set_current_page(static_cast<int>(page));
}

void ChannelListWindow::ShowModal() {
  // The user comes to pick a station: the shown list has the keyboard.
  switch (ActivePage()) {
    case ListPage::TV:
      ListBox1.View().grab_focus();
      break;
    case ListPage::Radio:
      ListBox5.View().grab_focus();
      break;
    case ListPage::Webcam:
      Listbox7.View().grab_focus();
      break;
    case ListPage::Favorites:
      ListBox3.View().grab_focus();
      break;
  }
  // At start-up the owner is not on screen yet; a window manager would not
  // show a dialog of an unmapped window properly.
  if (owner_.get_mapped()) {
    set_transient_for(owner_);
  } else {
    unset_transient_for();
  }
  telvanta::ShowModal(*this);
}

void ChannelListWindow::TeButton1Click() {
  {
    BusyGo busy(*this, TeButton1);
    LoadChannel();
  }
  const auto changes = FilterSettingsAfterGo(BoxState(TeComboBox4), BoxState(TeComboBox1),
                                             BoxState(TeComboBox2), BoxState(TeComboBox3));
  for (const auto& change : changes) {
    if (change.value) {
      WriteSetting(change.name, *change.value);
    } else {
      DeleteSetting(change.name);
    }
  }
}

void ChannelListWindow::PlayFrom(StationListBox& list, const std::vector<std::string>& twin) {
  if (NeedsPlayersNote(ReadSetting("FirstRun"))) {
    ShowInformationBox(std::string(PlayersNoteCaption), std::string(PlayersNoteText));
  }
  const int index = list.ItemIndex();
  const std::string url = TwinLine(twin, index);
  const std::string entry = list.Entry(index);
  hide();
  main_.InitControl();
  main_.SetCaption(PlayCaption(entry));
  main_.PlayTV(url);
}

void ChannelListWindow::ListBox1DblClick() { PlayFrom(ListBox1, ListBox2); }
void ChannelListWindow::ListBox5DblClick() { PlayFrom(ListBox5, ListBox6); }
void ChannelListWindow::Listbox7DblClick() { PlayFrom(Listbox7, ListBox8); }

void ChannelListWindow::ConnectMouseUp(Gtk::RadioButton& button,
                                       void (ChannelListWindow::*handler)()) {
  button.add_events(Gdk::BUTTON_RELEASE_MASK);
  button.signal_button_release_event().connect(
      [&button, handler, this](GdkEventButton* event) {
        const auto area = button.get_allocation();
        const bool over = event->x >= 0 && event->y >= 0 && event->x < area.get_width() &&
                          event->y < area.get_height();
        if (over) {
          (this->*handler)();
        }
        return false;
      },
      false);
}

void ChannelListWindow::TeRadioButton1MouseUp() { WriteSetting("Stretch", StretchOriginal); }
void ChannelListWindow::TeRadioButton2MouseUp() { WriteSetting("Stretch", StretchFit); }

void ChannelListWindow::Label2Click() { ShowPlainMessage(PictureQualityNote()); }
void ChannelListWindow::Label3Click() { ShowPlainMessage(ConnectionNote()); }

bool ChannelListWindow::on_delete_event(GdkEventAny* /*event*/) {
  hide();
  return true;
}

}  // namespace telvanta
