#include "catalogue/windows/StationRowsModel.h"

#include <new>
#include <utility>

namespace telvanta {

struct StationRows {
  std::shared_ptr<const StationList> all = std::make_shared<const StationList>();
  std::shared_ptr<const std::vector<std::size_t>> rows =
      std::make_shared<const std::vector<std::size_t>>();
  StationRowsModel::Icons icons;
  int stamp = 1;

  int Count() const { return static_cast<int>(rows->size()); }
  StreamClass ClassOf(int index) const {
    if (index < 0 || index >= Count()) {
      return StreamClass::None;
    }
    const std::size_t row = (*rows)[static_cast<std::size_t>(index)];
    return row < all->streamClasses.size() ? all->streamClasses[row] : StreamClass::None;
  }
  // The shown index an iterator of this model stands for; -1 for others.
  int IndexOf(const GtkTreeIter* iter) const {
    if (iter == nullptr || iter->stamp != stamp) {
      return -1;
    }
    const auto index = static_cast<int>(GPOINTER_TO_SIZE(iter->user_data));
    return index < Count() ? index : -1;
  }
  // Points iter at a shown index; false, and iter invalid, out of range.
  gboolean Point(int index, GtkTreeIter* iter) const {
    if (index < 0 || index >= Count()) {
      iter->stamp = 0;
      return FALSE;
    }
    iter->stamp = stamp;
    iter->user_data = GSIZE_TO_POINTER(static_cast<gsize>(index));
    iter->user_data2 = nullptr;
    iter->user_data3 = nullptr;
    return TRUE;
  }
};

namespace {

// Texts come from files; GTK wants valid UTF-8.
std::string ValidUtf8(const std::string& text) {
  if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) {
    return text;
  }
  gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
  std::string result(valid);
  g_free(valid);
  return result;
}

}  // namespace

}  // namespace telvanta

// The GObject: its private part is a StationRows, built in place when an
// instance is made and destroyed when it is finalized.
extern "C" {

struct TelvantaStationRows {
  GObject parent_instance;
};
struct TelvantaStationRowsClass {
  GObjectClass parent_class;
};
using TelvantaStationRowsPrivate = telvanta::StationRows;

static void telvanta_station_rows_tree_model_init(GtkTreeModelIface* iface);

G_DEFINE_TYPE_WITH_CODE(TelvantaStationRows, telvanta_station_rows, G_TYPE_OBJECT,
                        G_ADD_PRIVATE(TelvantaStationRows)
                            G_IMPLEMENT_INTERFACE(GTK_TYPE_TREE_MODEL,
                                                  telvanta_station_rows_tree_model_init))

static telvanta::StationRows& Rows(gpointer model) {
  return *static_cast<telvanta::StationRows*>(
      telvanta_station_rows_get_instance_private(static_cast<TelvantaStationRows*>(model)));
}

static void telvanta_station_rows_init(TelvantaStationRows* self) {
  new (telvanta_station_rows_get_instance_private(self)) telvanta::StationRows();
}

static void telvanta_station_rows_finalize(GObject* object) {
  Rows(object).~StationRows();
  G_OBJECT_CLASS(telvanta_station_rows_parent_class)->finalize(object);
}

static void telvanta_station_rows_class_init(TelvantaStationRowsClass* klass) {
  G_OBJECT_CLASS(klass)->finalize = telvanta_station_rows_finalize;
}

static GtkTreeModelFlags GetFlags(GtkTreeModel*) { return GTK_TREE_MODEL_LIST_ONLY; }

static gint GetNColumns(GtkTreeModel*) { return telvanta::StationRowsModel::ColumnCount; }

static GType GetColumnType(GtkTreeModel*, gint column) {
  return column == telvanta::StationRowsModel::IconColumn ? GDK_TYPE_PIXBUF : G_TYPE_STRING;
}

static gboolean GetIter(GtkTreeModel* model, GtkTreeIter* iter, GtkTreePath* path) {
  const bool top = gtk_tree_path_get_depth(path) == 1;
  return Rows(model).Point(top ? gtk_tree_path_get_indices(path)[0] : -1, iter);
}

static GtkTreePath* GetPath(GtkTreeModel* model, GtkTreeIter* iter) {
  const int index = Rows(model).IndexOf(iter);
  return index < 0 ? nullptr : gtk_tree_path_new_from_indices(index, -1);
}

static void GetValue(GtkTreeModel* model, GtkTreeIter* iter, gint column, GValue* value) {
  using telvanta::StationRowsModel;
  const telvanta::StationRows& rows = Rows(model);
  g_value_init(value, GetColumnType(model, column));
  const int index = rows.IndexOf(iter);
  if (index < 0) {
    return;
  }
  const telvanta::StreamClass streamClass = rows.ClassOf(index);
  if (column == StationRowsModel::IconColumn) {
    const auto& icon = rows.icons[static_cast<std::size_t>(streamClass)];
    g_value_set_object(value, icon ? icon->gobj() : nullptr);
  } else if (column == StationRowsModel::TextColumn) {
    const std::size_t row = (*rows.rows)[static_cast<std::size_t>(index)];
    g_value_set_string(value, telvanta::ValidUtf8(rows.all->entries[row]).c_str());
  } else if (column == StationRowsModel::ClassColumn) {
    g_value_set_string(value, std::string(telvanta::StreamClassText(streamClass)).c_str());
  }
}

static gboolean IterNext(GtkTreeModel* model, GtkTreeIter* iter) {
  const telvanta::StationRows& rows = Rows(model);
  const int index = rows.IndexOf(iter);
  return rows.Point(index < 0 ? -1 : index + 1, iter);
}

static gboolean IterPrevious(GtkTreeModel* model, GtkTreeIter* iter) {
  const telvanta::StationRows& rows = Rows(model);
  return rows.Point(rows.IndexOf(iter) - 1, iter);
}

// A list: only the root has rows, and rows have none.
static gboolean IterChildren(GtkTreeModel* model, GtkTreeIter* iter, GtkTreeIter* parent) {
  return Rows(model).Point(parent == nullptr ? 0 : -1, iter);
}

static gboolean IterHasChild(GtkTreeModel*, GtkTreeIter*) { return FALSE; }

static gint IterNChildren(GtkTreeModel* model, GtkTreeIter* iter) {
  return iter == nullptr ? Rows(model).Count() : 0;
}

static gboolean IterNthChild(GtkTreeModel* model, GtkTreeIter* iter, GtkTreeIter* parent, gint n) {
  return Rows(model).Point(parent == nullptr ? n : -1, iter);
}

static gboolean IterParent(GtkTreeModel* model, GtkTreeIter* iter, GtkTreeIter*) {
  return Rows(model).Point(-1, iter);
}

static void telvanta_station_rows_tree_model_init(GtkTreeModelIface* iface) {
  iface->get_flags = GetFlags;
  iface->get_n_columns = GetNColumns;
  iface->get_column_type = GetColumnType;
  iface->get_iter = GetIter;
  iface->get_path = GetPath;
  iface->get_value = GetValue;
  iface->iter_next = IterNext;
  iface->iter_previous = IterPrevious;
  iface->iter_children = IterChildren;
  iface->iter_has_child = IterHasChild;
  iface->iter_n_children = IterNChildren;
  iface->iter_nth_child = IterNthChild;
  iface->iter_parent = IterParent;
}

}  // extern "C"

namespace telvanta {

StationRowsModel::StationRowsModel(Icons icons) {
  GObject* object = G_OBJECT(g_object_new(telvanta_station_rows_get_type(), nullptr));
  rows_ = &Rows(object);
  rows_->icons = std::move(icons);
  // The wrapper takes the one reference g_object_new gave.
  model_ = Glib::wrap(GTK_TREE_MODEL(object), false);
}

void StationRowsModel::Show(std::shared_ptr<const StationList> all,
                            std::shared_ptr<const std::vector<std::size_t>> rows) {
  rows_->all = all ? std::move(all) : std::make_shared<const StationList>();
  rows_->rows = rows ? std::move(rows) : std::make_shared<const std::vector<std::size_t>>();
  // Iterators of the rows before must not reach the new ones.
  rows_->stamp = rows_->stamp == G_MAXINT ? 1 : rows_->stamp + 1;
}

int StationRowsModel::Count() const { return rows_->Count(); }

std::string StationRowsModel::Entry(int index) const {
  if (index < 0 || index >= Count()) {
    return {};
  }
  return ValidUtf8(rows_->all->entries[(*rows_->rows)[static_cast<std::size_t>(index)]]);
}

StreamClass StationRowsModel::ClassOf(int index) const { return rows_->ClassOf(index); }

const Glib::RefPtr<Gdk::Pixbuf>& StationRowsModel::IconOf(int index) const {
  return rows_->icons[static_cast<std::size_t>(ClassOf(index))];
}

}  // namespace telvanta
