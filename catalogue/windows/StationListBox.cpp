#include "catalogue/windows/StationListBox.h"

#include "common/StreamClass.h"
#include "widgets/WidgetSupport.h"

namespace telvanta {

namespace {

constexpr int RowHeight = 16;

// Marks told apart by shape as well as colour: a dot, a cross, a ring.
Glib::RefPtr<Gdk::Pixbuf> DrawMark(health::HealthState state) {
  constexpr int size = 10;
  auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, size, RowHeight);
  auto cr = Cairo::Context::create(surface);
  const double cx = size / 2.0;
  const double cy = RowHeight / 2.0;
  switch (state) {
    case health::HealthState::Alive:
      cr->set_source_rgb(0.18, 0.62, 0.24);
      cr->arc(cx, cy, 3.5, 0, 2 * G_PI);
      cr->fill();
      break;
    case health::HealthState::FailedRecently:
      cr->set_source_rgb(0.82, 0.16, 0.16);
      cr->set_line_width(2);
      cr->move_to(cx - 3, cy - 3);
      cr->line_to(cx + 3, cy + 3);
      cr->move_to(cx + 3, cy - 3);
      cr->line_to(cx - 3, cy + 3);
      cr->stroke();
      break;
    case health::HealthState::Unknown:
      cr->set_source_rgba(0.5, 0.5, 0.5, 0.6);
      cr->set_line_width(1);
      cr->arc(cx, cy, 3, 0, 2 * G_PI);
      cr->stroke();
      break;
  }
  return Gdk::Pixbuf::create(surface, 0, 0, size, RowHeight);
}

}  // namespace

StationListBox::StationListBox()
    : model_(StationRowsModel::Icons{Glib::RefPtr<Gdk::Pixbuf>(), Picture("class-mms", RowHeight),
                                     Picture("class-rtsp", RowHeight),
                                     Picture("class-webcam", RowHeight)}),
      iconAlive_(DrawMark(health::HealthState::Alive)),
      iconFailed_(DrawMark(health::HealthState::FailedRecently)),
      iconUnknown_(DrawMark(health::HealthState::Unknown)) {
  set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
  set_shadow_type(Gtk::SHADOW_IN);

  iconCell_.set_padding(2, 0);
  iconCell_.set_fixed_size(RowHeight + 4, RowHeight);
  textCell_.set_padding(2, 0);
  textCell_.set_fixed_size(-1, RowHeight);
  textCell_.property_ellipsize() = Pango::ELLIPSIZE_END;
  healthCell_.set_fixed_size(10, RowHeight);
  column_.pack_start(iconCell_, false);
  column_.pack_start(healthCell_, false);
  column_.pack_start(textCell_, true);
  column_.add_attribute(iconCell_, "pixbuf", StationRowsModel::IconColumn);
  column_.add_attribute(textCell_, "text", StationRowsModel::TextColumn);
  column_.set_cell_data_func(healthCell_, sigc::mem_fun(*this, &StationListBox::ShowHealthMark));
  column_.set_sizing(Gtk::TREE_VIEW_COLUMN_FIXED);
  column_.set_expand(true);

  view_.append_column(column_);
  view_.set_headers_visible(false);
  view_.set_fixed_height_mode(true);
  view_.set_enable_search(true);
  view_.set_search_column(StationRowsModel::TextColumn);
  view_.get_selection()->set_mode(Gtk::SELECTION_SINGLE);
  view_.set_model(model_.TreeModel());
  view_.set_has_tooltip(true);
  view_.signal_query_tooltip().connect(sigc::mem_fun(*this, &StationListBox::onQueryTooltip));
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

void StationListBox::Fill(std::shared_ptr<const StationList> all,
                          std::shared_ptr<const std::vector<std::size_t>> rows) {
  pendingScroll_.reset();
  view_.unset_model();
  model_.Show(std::move(all), std::move(rows));
  view_.set_model(model_.TreeModel());
}

void StationListBox::Clear() { Fill(nullptr, nullptr); }

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

void StationListBox::SetHealthSource(HealthSource source) {
  healthSource_ = std::move(source);
  RedrawHealth();
}

void StationListBox::RedrawHealth() { view_.queue_draw(); }

const health::StationHealth* StationListBox::ChecksAt(int index) const {
  if (!healthSource_ || index < 0 || index >= Count()) {
    return nullptr;
  }
  return healthSource_(index);
}

StationListBox::HealthMark StationListBox::HealthAt(int index) const {
  const health::StationHealth* checks = ChecksAt(index);
  if (checks == nullptr) {
    return {};
  }
  const std::int64_t now = health::UnixNow();
  return {health::StateOf(*checks, now), health::HealthTip(*checks, now)};
}

void StationListBox::ShowHealthMark(Gtk::CellRenderer* cell, const Gtk::TreeModel::iterator& row) {
  const int index = view_.get_model()->get_path(row)[0];
  const health::StationHealth* checks = ChecksAt(index);
  const health::HealthState state = checks != nullptr ? health::StateOf(*checks, health::UnixNow())
                                                      : health::HealthState::Unknown;
  auto* pixbufCell = static_cast<Gtk::CellRendererPixbuf*>(cell);
  pixbufCell->property_pixbuf() = state == health::HealthState::Alive            ? iconAlive_
                                  : state == health::HealthState::FailedRecently ? iconFailed_
                                                                                 : iconUnknown_;
}

bool StationListBox::onQueryTooltip(int x, int y, bool keyboard,
                                    const Glib::RefPtr<Gtk::Tooltip>& tooltip) {
  Gtk::TreeModel::Path path;
  if (!view_.get_tooltip_context_path(x, y, keyboard, path) || path.empty()) {
    return false;
  }
  const std::string tip = HealthAt(path[0]).tip;
  if (tip.empty()) {
    return false;
  }
  tooltip->set_text(tip);
  view_.set_tooltip_row(tooltip, path);
  return true;
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
