#include "tests/support/RtspTestServer.h"

#include <stdexcept>

namespace telvanta::test {

RtspTestServer::RtspTestServer() {
  gst_init(nullptr, nullptr);
  context_ = g_main_context_new();
  loop_ = g_main_loop_new(context_, FALSE);
  server_ = gst_rtsp_server_new();
  gst_rtsp_server_set_address(server_, "127.0.0.1");
  gst_rtsp_server_set_service(server_, "0");
  GstRTSPMountPoints* mounts = gst_rtsp_server_get_mount_points(server_);
  GstRTSPMediaFactory* factory = gst_rtsp_media_factory_new();
  gst_rtsp_media_factory_set_launch(
      factory,
      "( videotestsrc is-live=true ! video/x-raw,width=320,height=240,framerate=25/1 ! "
      "x264enc tune=zerolatency speed-preset=ultrafast key-int-max=25 ! "
      "rtph264pay name=pay0 pt=96 config-interval=1 )");
  gst_rtsp_media_factory_set_shared(factory, TRUE);
  gst_rtsp_mount_points_add_factory(mounts, "/test", factory);
  g_object_unref(mounts);
  source_ = gst_rtsp_server_attach(server_, context_);
  port_ = gst_rtsp_server_get_bound_port(server_);
  if (source_ == 0 || port_ <= 0) {
    throw std::runtime_error("cannot start the RTSP test server");
  }
  thread_ = std::thread([this] {
    g_main_context_push_thread_default(context_);
    g_main_loop_run(loop_);
    g_main_context_pop_thread_default(context_);
  });
}

RtspTestServer::~RtspTestServer() {
  // Queued on the server's context, so it also ends a loop not yet running.
  GSource* quit = g_idle_source_new();
  g_source_set_callback(
      quit,
      [](gpointer loop) {
        g_main_loop_quit(static_cast<GMainLoop*>(loop));
        return G_SOURCE_REMOVE;
      },
      loop_, nullptr);
  g_source_attach(quit, context_);
  g_source_unref(quit);
  thread_.join();
  if (GSource* source = g_main_context_find_source_by_id(context_, source_)) {
    g_source_destroy(source);
  }
  g_object_unref(server_);
  g_main_loop_unref(loop_);
  g_main_context_unref(context_);
}

std::string RtspTestServer::Url() const {
  return "rtsp://127.0.0.1:" + std::to_string(port_) + "/test";
}

}  // namespace telvanta::test
