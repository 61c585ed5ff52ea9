#include "catalogue/windows/StationListBox.h"

#include "common/StreamClass.h"
#include "widgets/WidgetSupport.h"

namespace telvanta {

namespace {

constexpr int RowHeight = 16;

bool IsValidUtf8(const std::string& text) {
  return g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr);
}

// Texts come from files; GTK wants valid UTF-8.
std::string ValidUtf8(const std::string& text) {
  gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
  std::string result(valid);
  g_free(valid);
  return result;
}

}  // namespace

StationListBox::StationListBox()
    : store_(Gtk::ListStore::create(columns_)),
      iconMms_(Picture("class-mms", RowHeight)),
      iconRtsp_(Picture("class-rtsp", RowHeight)),
      iconWebcam_(Picture("class-webcam", RowHeight)) {
  set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
  set_shadow_type(Gtk::SHADOW_IN);

  iconCell_.set_padding(2, 0);
  iconCell_.set_fixed_size(RowHeight + 4, RowHeight);
  textCell_.set_padding(2, 0);
  textCell_.set_fixed_size(-1, RowHeight);
  textCell_.property_ellipsize() = Pango::ELLIPSIZE_END;
  column_.pack_start(iconCell_, false);
  column_.pack_start(textCell_, true);
  column_.add_attribute(iconCell_.property_pixbuf(), columns_.icon);
  column_.add_attribute(textCell_.property_text(), columns_.text);
  column_.set_sizing(Gtk::TREE_VIEW_COLUMN_FIXED);
  column_.set_expand(true);

  view_.append_column(column_);
  view_.set_headers_visible(false);
  view_.set_fixed_height_mode(true);
  view_.set_enable_search(true);
  view_.set_search_column(columns_.text);
  view_.get_selection()->set_mode(Gtk::SELECTION_SINGLE);
  view_.set_model(store_);
  view_.signal_button_press_event().connect(sigc::mem_fun(*this, &StationListBox::onButtonPress),
                                            false);
  view_.signal_row_activated().connect(
      [this](const Gtk::TreeModel::Path&, Gtk::TreeViewColumn*) { dblClick_.emit(); });
  view_.signal_popup_menu().connect([this] {
    contextMenu_.emit(nullptr);
    return true;
  });
  add(view_);
  get_vadjustment()->signal_changed().connect(
      sigc::mem_fun(*this, &StationListBox::onHeightChanged));
}

void StationListBox::Fill(const StationList& all, const std::vector<std::size_t>& rows) {
  pendingScroll_.reset();
  view_.unset_model();
  store_->clear();
  GtkListStore* raw = store_->gobj();
  for (const std::size_t row : rows) {
    const StreamClass streamClass =
        row < all.streamClasses.size() ? all.streamClasses[row] : StreamClass::None;
    GdkPixbuf* icon = nullptr;
    if (streamClass == StreamClass::Mms) {
      icon = iconMms_->gobj();
    }
    if (streamClass == StreamClass::Rtsp) {
      icon = iconRtsp_->gobj();
    }
    if (streamClass == StreamClass::Webcam) {
      icon = iconWebcam_->gobj();
    }
    const std::string& entry = all.entries[row];
    const std::string repaired = IsValidUtf8(entry) ? std::string() : ValidUtf8(entry);
    const char* text = repaired.empty() ? entry.c_str() : repaired.c_str();
    const std::string classText(StreamClassText(streamClass));
    gtk_list_store_insert_with_values(raw, nullptr, -1, 0, icon, 1, text, 2, classText.c_str(),
                                      -1);
  }
  view_.set_model(store_);
}

void StationListBox::Clear() {
  view_.unset_model();
  store_->clear();
  view_.set_model(store_);
}

int StationListBox::Count() const { return static_cast<int>(store_->children().size()); }

int StationListBox::ItemIndex() const {
  const auto rows = view_.get_selection()->get_selected_rows();
  if (rows.empty()) {
    return -1;
  }
  return rows.front()[0];
}

void StationListBox::SetItemIndex(int index) {
  auto selection = view_.get_selection();
  if (index < 0 || index >= Count()) {
    selection->unselect_all();
    return;
  }
  Gtk::TreeModel::Path path;
  path.push_back(index);
  view_.set_cursor(path);
  selection->select(path);
}

std::string StationListBox::Entry(int index) const {
  if (index < 0 || index >= Count()) {
    return {};
  }
  auto row = store_->children()[static_cast<unsigned>(index)];
  return Glib::ustring(row[columns_.text]);
}

std::string StationListBox::IconClass(int index) const {
  if (index < 0 || index >= Count()) {
    return {};
  }
  auto row = store_->children()[static_cast<unsigned>(index)];
  const Glib::RefPtr<Gdk::Pixbuf> icon = row[columns_.icon];
  if (!icon) {
    return {};
  }
  return Glib::ustring(row[columns_.streamClass]);
}

double StationListBox::ScrollOffset() const { return get_vadjustment()->get_value(); }

void StationListBox::ShowView(int index, std::optional<double> scroll) {
  SetItemIndex(index);
  if (!scroll && index >= 0) {
    Gtk::TreeModel::Path path;
    path.push_back(index);
    view_.scroll_to_row(path);
    return;
  }
  pendingScroll_ = scroll.value_or(0.0);
  onHeightChanged();
}

// A list refilled has its new height only after its next layout.
void StationListBox::onHeightChanged() {
  if (!pendingScroll_) {
    return;
  }
  auto adjustment = get_vadjustment();
  adjustment->set_value(*pendingScroll_);
  if (adjustment->get_value() == *pendingScroll_) {
    pendingScroll_.reset();
  }
}

bool StationListBox::onButtonPress(GdkEventButton* event) {
  if (event->type != GDK_BUTTON_PRESS || event->button != 3) {
    return false;
  }
  Gtk::TreeModel::Path path;
  Gtk::TreeViewColumn* column = nullptr;
  int cellX = 0;
  int cellY = 0;
  // The menu acts on the entry under the pointer, as the label above asks.
  if (view_.get_path_at_pos(static_cast<int>(event->x), static_cast<int>(event->y), path, column,
                            cellX, cellY)) {
    view_.set_cursor(path);
  }
  contextMenu_.emit(event);
  return true;
}

}  // namespace telvanta
