#include "skins/SkinPictures.h"

#include <gio/gio.h>

#include <cstring>
#include <mutex>

namespace telvanta::skins {

namespace {

std::mutex servedLock;
std::map<std::string, GBytes*, std::less<>>& Served() {
  static std::map<std::string, GBytes*, std::less<>> served;
  return served;
}

GBytes* LookUp(const char* uri) {
  std::lock_guard lock(servedLock);
  const auto found = Served().find(std::string_view(uri));
  return found == Served().end() ? nullptr : g_bytes_ref(found->second);
}

}  // namespace

}  // namespace telvanta::skins

// A GFile that reads one served picture. Only what the toolkit's style
// sheets need is there: naming, comparing and reading.
extern "C" {

struct TelvantaSkinPicture {
  GObject parent;
  char* uri;
};
struct TelvantaSkinPictureClass {
  GObjectClass parent;
};

static void telvanta_skin_picture_file_init(GFileIface* iface);

G_DEFINE_TYPE_WITH_CODE(TelvantaSkinPicture, telvanta_skin_picture, G_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(G_TYPE_FILE, telvanta_skin_picture_file_init))

static const char* PictureUri(GFile* file) {
  return G_TYPE_CHECK_INSTANCE_CAST(file, telvanta_skin_picture_get_type(), TelvantaSkinPicture)
      ->uri;
}

static GFile* NewPicture(const char* uri) {
  auto* picture =
      static_cast<TelvantaSkinPicture*>(g_object_new(telvanta_skin_picture_get_type(), nullptr));
  picture->uri = g_strdup(uri);
  return G_FILE(picture);
}

static void telvanta_skin_picture_finalize(GObject* object) {
  g_free(reinterpret_cast<TelvantaSkinPicture*>(object)->uri);
  G_OBJECT_CLASS(telvanta_skin_picture_parent_class)->finalize(object);
}

static void telvanta_skin_picture_class_init(TelvantaSkinPictureClass* klass) {
  G_OBJECT_CLASS(klass)->finalize = telvanta_skin_picture_finalize;
}

static void telvanta_skin_picture_init(TelvantaSkinPicture* picture) { picture->uri = nullptr; }

static GFile* PictureDup(GFile* file) { return NewPicture(PictureUri(file)); }
static guint PictureHash(GFile* file) { return g_str_hash(PictureUri(file)); }
static gboolean PictureEqual(GFile* a, GFile* b) {
  return std::strcmp(PictureUri(a), PictureUri(b)) == 0 ? TRUE : FALSE;
}
static gboolean PictureIsNative(GFile* /*file*/) { return FALSE; }
static gboolean PictureHasScheme(GFile* /*file*/, const char* scheme) {
  return g_ascii_strcasecmp(scheme, telvanta::skins::PictureScheme.data()) == 0 ? TRUE : FALSE;
}
static char* PictureScheme(GFile* /*file*/) {
  return g_strdup(telvanta::skins::PictureScheme.data());
}
static char* PictureBasename(GFile* file) { return g_path_get_basename(PictureUri(file)); }
static char* PicturePath(GFile* /*file*/) { return nullptr; }
static char* PictureGetUri(GFile* file) { return g_strdup(PictureUri(file)); }
static GFile* PictureParent(GFile* /*file*/) { return nullptr; }
static gboolean PicturePrefixMatches(GFile* /*prefix*/, GFile* /*file*/) { return FALSE; }
static char* PictureRelativePath(GFile* /*parent*/, GFile* /*descendant*/) { return nullptr; }

static GFile* PictureResolve(GFile* file, const char* relative) {
  char* folder = g_path_get_dirname(PictureUri(file));
  char* uri = g_strconcat(folder, "/", relative, nullptr);
  GFile* resolved = NewPicture(uri);
  g_free(uri);
  g_free(folder);
  return resolved;
}

// The stream a read gives: the served bytes, from the start.
struct TelvantaSkinPictureStream {
  GFileInputStream parent;
  GBytes* bytes;
  gsize offset;
};
struct TelvantaSkinPictureStreamClass {
  GFileInputStreamClass parent;
};

G_DEFINE_TYPE(TelvantaSkinPictureStream, telvanta_skin_picture_stream, G_TYPE_FILE_INPUT_STREAM)

static gssize StreamRead(GInputStream* stream, void* buffer, gsize count,
                         GCancellable* /*cancellable*/, GError** /*error*/) {
  auto* self = reinterpret_cast<TelvantaSkinPictureStream*>(stream);
  gsize size = 0;
  const auto* data = static_cast<const guint8*>(g_bytes_get_data(self->bytes, &size));
  const gsize n = MIN(count, size - self->offset);
  std::memcpy(buffer, data + self->offset, n);
  self->offset += n;
  return static_cast<gssize>(n);
}

static void telvanta_skin_picture_stream_finalize(GObject* object) {
  g_bytes_unref(reinterpret_cast<TelvantaSkinPictureStream*>(object)->bytes);
  G_OBJECT_CLASS(telvanta_skin_picture_stream_parent_class)->finalize(object);
}

static void telvanta_skin_picture_stream_class_init(TelvantaSkinPictureStreamClass* klass) {
  G_OBJECT_CLASS(klass)->finalize = telvanta_skin_picture_stream_finalize;
  G_INPUT_STREAM_CLASS(klass)->read_fn = StreamRead;
}

static void telvanta_skin_picture_stream_init(TelvantaSkinPictureStream* stream) {
  stream->bytes = nullptr;
  stream->offset = 0;
}

static GFileInputStream* PictureRead(GFile* file, GCancellable* /*cancellable*/, GError** error) {
  GBytes* bytes = telvanta::skins::LookUp(PictureUri(file));
  if (bytes == nullptr) {
    g_set_error(error, G_IO_ERROR, G_IO_ERROR_NOT_FOUND, "No skin picture %s", PictureUri(file));
    return nullptr;
  }
  auto* stream = static_cast<TelvantaSkinPictureStream*>(
      g_object_new(telvanta_skin_picture_stream_get_type(), nullptr));
  stream->bytes = bytes;
  return G_FILE_INPUT_STREAM(stream);
}

static GFile* LookUpPicture(GVfs* /*vfs*/, const char* identifier, gpointer /*data*/) {
  return NewPicture(identifier);
}

// GIO asks every parse-name handler about every name the user types, paths
// included, and takes the first file one gives: claim only our own scheme.
static GFile* ParsePictureName(GVfs* /*vfs*/, const char* name, gpointer /*data*/) {
  const auto scheme = telvanta::skins::PictureScheme;
  const bool ours =
      g_ascii_strncasecmp(name, scheme.data(), scheme.size()) == 0 && name[scheme.size()] == ':';
  return ours ? NewPicture(name) : nullptr;
}

static void telvanta_skin_picture_file_init(GFileIface* iface) {
  iface->dup = PictureDup;
  iface->hash = PictureHash;
  iface->equal = PictureEqual;
  iface->is_native = PictureIsNative;
  iface->has_uri_scheme = PictureHasScheme;
  iface->get_uri_scheme = PictureScheme;
  iface->get_basename = PictureBasename;
  iface->get_path = PicturePath;
  iface->get_uri = PictureGetUri;
  iface->get_parse_name = PictureGetUri;
  iface->get_parent = PictureParent;
  iface->prefix_matches = PicturePrefixMatches;
  iface->get_relative_path = PictureRelativePath;
  iface->resolve_relative_path = PictureResolve;
  iface->read_fn = PictureRead;
}

}  // extern "C"

namespace telvanta::skins {

void ServePictures(const PictureSet& pictures) {
  static std::once_flag registered;
  std::call_once(registered, [] {
    g_vfs_register_uri_scheme(g_vfs_get_default(), PictureScheme.data(), LookUpPicture, nullptr,
                              nullptr, ParsePictureName, nullptr, nullptr);
  });
  std::lock_guard lock(servedLock);
  for (const auto& [url, bytes] : pictures) {
    if (!Served().contains(url)) {
      Served().emplace(url, g_bytes_new(bytes.data(), bytes.size()));
    }
  }
}

void WithdrawPictures(const PictureSet& pictures) {
  std::lock_guard lock(servedLock);
  for (const auto& entry : pictures) {
    const auto found = Served().find(entry.first);
    if (found != Served().end()) {
      g_bytes_unref(found->second);
      Served().erase(found);
    }
  }
}

}  // namespace telvanta::skins
