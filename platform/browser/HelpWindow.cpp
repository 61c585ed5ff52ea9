#include "platform/browser/HelpWindow.h"

#include <webkit2/webkit2.h>

#include <optional>
#include <utility>

#include "common/I18n.h"
#include "platform/browser/SealedWeb.h"
#include "platform/chm/ChmFile.h"
#include "platform/desktop/CloseKeys.h"
#include "platform/glib/GObjectPtr.h"

namespace telvanta::platform {

namespace {

constexpr int kDefaultWidth = 820;
constexpr int kDefaultHeight = 640;
constexpr const char* kHost = "help";
constexpr const char* kUntitled = N_("Telvanta Help");

std::unique_ptr<HelpWindow>& Instance() {
  static std::unique_ptr<HelpWindow> window;
  return window;
}

// What the scheme handler reads from. The web context holds a share of it,
// since WebKit may keep the context a little longer than the window.
struct HelpSource {
  std::optional<ChmFile> file;
};
using SharedSource = std::shared_ptr<HelpSource>;

struct GBytesUnref {
  void operator()(GBytes* bytes) const { g_bytes_unref(bytes); }
};

std::string TopicUri(const std::string& topic, const std::string& anchor) {
  GCharPtr escaped(g_uri_escape_string(topic.c_str(), "/", FALSE));
  std::string uri = std::string(HelpScheme) + "://" + kHost + "/" + escaped.get();
  if (!anchor.empty()) {
    uri += "#" + anchor;
  }
  return uri;
}

void ServeRequest(WebKitURISchemeRequest* request, gpointer data) {
  const SharedSource& source = *static_cast<SharedSource*>(data);
  GCharPtr path(g_uri_unescape_string(webkit_uri_scheme_request_get_path(request), nullptr));
  std::optional<std::string> bytes;
  if (path && source->file) {
    bytes = source->file->Read(path.get());
  }
  if (!bytes) {
    GErrorPtr error(g_error_new_literal(G_IO_ERROR, G_IO_ERROR_NOT_FOUND,
                                        _("This help topic does not exist.")));
    webkit_uri_scheme_request_finish_error(request, error.get());
    return;
  }
  std::unique_ptr<GBytes, GBytesUnref> content(g_bytes_new(bytes->data(), bytes->size()));
  GObjectPtr<GInputStream> stream(g_memory_input_stream_new_from_bytes(content.get()));
  const std::string type(HelpMimeType(path.get()));
  webkit_uri_scheme_request_finish(request, stream.get(), static_cast<gint64>(bytes->size()),
                                   type.c_str());
}

// Links keep to the help; web and mail go out on a user's click; nothing
// else is followed.
gboolean DecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision,
                      WebKitPolicyDecisionType type, gpointer) {
  if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
    return FALSE;
  }
  WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
      WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  const std::string uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  switch (ClassifyHelpLink(uri)) {
    case HelpLink::Page:
      if (type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) {
        return FALSE;
      }
      webkit_policy_decision_ignore(decision);
      webkit_web_view_load_uri(view, uri.c_str());  // a new-window link opens here
      return TRUE;
    case HelpLink::OtherHelp:
      webkit_policy_decision_ignore(decision);
      // Not from inside WebKit's own signal: the window may navigate anew.
      Glib::signal_idle().connect_once([help = *ParseHelpAddress(uri)] { HelpWindow::Show(help); });
      return TRUE;
    case HelpLink::Outside:
      webkit_policy_decision_ignore(decision);
      OpenIfUsersClick(action, uri);
      return TRUE;
    case HelpLink::Refused:
      break;
  }
  webkit_policy_decision_ignore(decision);
  return TRUE;
}

}  // namespace

struct HelpWindow::Impl {
  SharedSource source = std::make_shared<HelpSource>();
  GObjectPtr<WebKitWebContext> context;
  GObjectPtr<WebKitWebView> view;
  std::string file;
  Gtk::Box layout{Gtk::ORIENTATION_VERTICAL};
  Gtk::Box buttons{Gtk::ORIENTATION_HORIZONTAL, 4};
  Gtk::Button back{_("_Back"), true};
  Gtk::Button forward{_("_Forward"), true};
  Gtk::Button contents{_("_Contents"), true};

  void UpdateButtons() {
    back.set_sensitive(webkit_web_view_can_go_back(view.get()) != FALSE);
    forward.set_sensitive(webkit_web_view_can_go_forward(view.get()) != FALSE);
  }
  void ShowContents() {
    if (source->file) {
      webkit_web_view_load_uri(view.get(), TopicUri(source->file->DefaultTopic(), "").c_str());
    }
  }
  static void HistoryChanged(WebKitBackForwardList*, WebKitBackForwardListItem*, gpointer,
                             gpointer impl) {
    static_cast<Impl*>(impl)->UpdateButtons();
  }

  static void TitleChanged(GObject*, GParamSpec*, gpointer window) {
    auto* self = static_cast<HelpWindow*>(window);
    const gchar* title = webkit_web_view_get_title(self->impl_->view.get());
    self->set_title(title != nullptr && *title != '\0' ? title : _(kUntitled));
  }
};

HelpWindow::HelpWindow(Key) : impl_(std::make_unique<Impl>()) {
  set_name("HelpWindow");
  set_title(_(kUntitled));
  set_default_size(kDefaultWidth, kDefaultHeight);
  CloseWithKeys(*this);
  // Its own context: nothing on disk, and a scheme no other view sees. The
  // pages come through the scheme, so the web process reads no folder.
  impl_->context = NewSealedContext({});
  auto share = std::make_unique<SharedSource>(impl_->source);
  webkit_web_context_register_uri_scheme(
      impl_->context.get(), std::string(HelpScheme).c_str(), &ServeRequest, share.release(),
      [](gpointer data) { delete static_cast<SharedSource*>(data); });

  GtkWidget* widget = webkit_web_view_new_with_context(impl_->context.get());
  impl_->view.reset(WEBKIT_WEB_VIEW(g_object_ref_sink(widget)));
  // Help pages are text and pictures: none of their own scripts run.
  SealSettings(webkit_web_view_get_settings(impl_->view.get()), false);
  g_signal_connect(widget, "decide-policy", G_CALLBACK(DecidePolicy), this);
  g_signal_connect(widget, "notify::title", G_CALLBACK(&Impl::TitleChanged), this);
  g_signal_connect(webkit_web_view_get_back_forward_list(impl_->view.get()), "changed",
                   G_CALLBACK(&Impl::HistoryChanged), impl_.get());
  AddButtons();
  gtk_box_pack_start(GTK_BOX(impl_->layout.gobj()), widget, TRUE, TRUE, 0);
  gtk_widget_show(widget);
  add(impl_->layout);
  impl_->layout.show();
}

void HelpWindow::AddButtons() {
  Impl& impl = *impl_;
  impl.back.set_name("HelpBack");
  impl.forward.set_name("HelpForward");
  impl.contents.set_name("HelpContents");
  impl.back.signal_clicked().connect([&impl] { webkit_web_view_go_back(impl.view.get()); });
  impl.forward.signal_clicked().connect([&impl] { webkit_web_view_go_forward(impl.view.get()); });
  impl.contents.signal_clicked().connect([&impl] { impl.ShowContents(); });
  impl.buttons.set_border_width(4);
  for (Gtk::Button* button : {&impl.back, &impl.forward, &impl.contents}) {
    button->set_relief(Gtk::RELIEF_NONE);
    impl.buttons.pack_start(*button, Gtk::PACK_SHRINK);
  }
  impl.layout.pack_start(impl.buttons, Gtk::PACK_SHRINK);
  impl.buttons.show_all();
  impl.UpdateButtons();
}

HelpWindow::~HelpWindow() {
  g_signal_handlers_disconnect_by_data(impl_->view.get(), this);
  g_signal_handlers_disconnect_by_data(webkit_web_view_get_back_forward_list(impl_->view.get()),
                                       impl_.get());
  webkit_web_view_stop_loading(impl_->view.get());
}

bool HelpWindow::Show(const HelpAddress& address, bool maximized) {
  auto& window = Instance();
  const bool fresh = !window;
  if (fresh) {
    window = std::make_unique<HelpWindow>(Key());
  }
  if (!window->Navigate(address)) {
    if (fresh) {
      window.reset();
    }
    return false;
  }
  if (fresh && maximized) {
    window->maximize();
  }
  window->present();
  return true;
}

HelpWindow* HelpWindow::Current() { return Instance().get(); }

bool HelpWindow::Navigate(const HelpAddress& address) {
  auto file = ChmFile::Open(address.file);
  if (!file) {
    return false;
  }
  const std::string topic = address.topic.empty() ? file->DefaultTopic() : address.topic;
  impl_->source->file = std::move(file);
  impl_->file = address.file;
  webkit_web_view_load_uri(impl_->view.get(), TopicUri(topic, address.anchor).c_str());
  return true;
}

bool HelpWindow::on_delete_event(GdkEventAny*) {
  hide();
  // Destroyed once the close has run its course, unless help was asked for again.
  Glib::signal_idle().connect_once([] {
    if (Instance() && !Instance()->get_visible()) {
      Instance().reset();
    }
  });
  return true;
}

std::string HelpWindow::Uri() const {
  const gchar* uri = webkit_web_view_get_uri(impl_->view.get());
  return uri != nullptr ? uri : "";
}

const std::string& HelpWindow::File() const { return impl_->file; }

}  // namespace telvanta::platform
