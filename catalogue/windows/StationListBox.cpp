#include "catalogue/windows/StationListBox.h"

#include "common/StreamClass.h"
#include "widgets/WidgetSupport.h"

namespace telvanta {

namespace {

constexpr int RowHeight = 16;

}  // namespace

StationListBox::StationListBox()
    : model_(StationRowsModel::Icons{Glib::RefPtr<Gdk::Pixbuf>(), Picture("class-mms", RowHeight),
                                     Picture("class-rtsp", RowHeight),
                                     Picture("class-webcam", RowHeight)}) {
  set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
  set_shadow_type(Gtk::SHADOW_IN);

  iconCell_.set_padding(2, 0);
  iconCell_.set_fixed_size(RowHeight + 4, RowHeight);
  textCell_.set_padding(2, 0);
  textCell_.set_fixed_size(-1, RowHeight);
  textCell_.property_ellipsize() = Pango::ELLIPSIZE_END;
  column_.pack_start(iconCell_, false);
  column_.pack_start(textCell_, true);
  column_.add_attribute(iconCell_, "pixbuf", StationRowsModel::IconColumn);
  column_.add_attribute(textCell_, "text", StationRowsModel::TextColumn);
  column_.set_sizing(Gtk::TREE_VIEW_COLUMN_FIXED);
  column_.set_expand(true);

  view_.append_column(column_);
  view_.set_headers_visible(false);
  view_.set_fixed_height_mode(true);
  view_.set_enable_search(true);
  view_.set_search_column(StationRowsModel::TextColumn);
  view_.get_selection()->set_mode(Gtk::SELECTION_SINGLE);
  view_.set_model(model_.TreeModel());
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

void StationListBox::Fill(std::shared_ptr<const StationList> all, std::vector<std::size_t> rows) {
  pendingScroll_.reset();
  view_.unset_model();
  model_.Show(std::move(all), std::move(rows));
  view_.set_model(model_.TreeModel());
}

void StationListBox::Clear() { Fill(nullptr, {}); }

int StationListBox::Count() const { return model_.Count(); }

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

std::string StationListBox::Entry(int index) const { return model_.Entry(index); }

std::string StationListBox::IconClass(int index) const {
  if (!model_.IconOf(index)) {
    return {};
  }
  return std::string(StreamClassText(model_.ClassOf(index)));
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
