/* A Wayland window that keeps an idle inhibitor, as a video player does while
 * it plays, for the end-to-end scripts: it maps a small black window, asks the
 * compositor (zwp_idle_inhibit_manager_v1) to keep the session from going
 * idle while the window is visible, prints "ready" and holds the inhibitor
 * until its input ends. */
#define _GNU_SOURCE
#include "idle-inhibit-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

#include <poll.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

enum { kSize = 64 };

struct globals {
    struct wl_compositor* compositor;
    struct wl_shm* shm;
    struct xdg_wm_base* wm_base;
    struct zwp_idle_inhibit_manager_v1* inhibit_manager;
    int configured;
};

static void on_global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                      uint32_t version)
{
    struct globals* g = data;
    (void)version;
    if (strcmp(interface, wl_compositor_interface.name) == 0)
        g->compositor = wl_registry_bind(registry, name, &wl_compositor_interface, 1);
    else if (strcmp(interface, wl_shm_interface.name) == 0)
        g->shm = wl_registry_bind(registry, name, &wl_shm_interface, 1);
    else if (strcmp(interface, xdg_wm_base_interface.name) == 0)
        g->wm_base = wl_registry_bind(registry, name, &xdg_wm_base_interface, 1);
    else if (strcmp(interface, zwp_idle_inhibit_manager_v1_interface.name) == 0)
        g->inhibit_manager = wl_registry_bind(registry, name, &zwp_idle_inhibit_manager_v1_interface, 1);
}

static void on_global_remove(void* data, struct wl_registry* registry, uint32_t name)
{
    (void)data, (void)registry, (void)name;
}

static void on_ping(void* data, struct xdg_wm_base* wm_base, uint32_t serial)
{
    (void)data;
    xdg_wm_base_pong(wm_base, serial);
}

static void on_configure(void* data, struct xdg_surface* surface, uint32_t serial)
{
    xdg_surface_ack_configure(surface, serial);
    ((struct globals*)data)->configured = 1;
}

static const struct wl_registry_listener registry_listener = {on_global, on_global_remove};
static const struct xdg_wm_base_listener wm_base_listener = {on_ping};
static const struct xdg_surface_listener surface_listener = {on_configure};

/* A black buffer of kSize × kSize pixels in shared memory. */
static struct wl_buffer* black_buffer(struct wl_shm* shm)
{
    const int stride = kSize * 4, bytes = stride * kSize;
    const int fd = memfd_create("idle-inhibitor", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, bytes) != 0)
        return NULL;
    struct wl_shm_pool* pool = wl_shm_create_pool(shm, fd, bytes);
    struct wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, kSize, kSize, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

int main(void)
{
    struct globals g = {0};
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "idle_inhibitor: cannot connect to the Wayland display\n");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, &g);
    wl_display_roundtrip(display);
    if (!g.compositor || !g.shm || !g.wm_base || !g.inhibit_manager) {
        fprintf(stderr, "idle_inhibitor: the compositor lacks a protocol this needs\n");
        return 1;
    }
    xdg_wm_base_add_listener(g.wm_base, &wm_base_listener, NULL);
    struct wl_surface* surface = wl_compositor_create_surface(g.compositor);
    struct xdg_surface* xdg = xdg_wm_base_get_xdg_surface(g.wm_base, surface);
    xdg_surface_add_listener(xdg, &surface_listener, &g);
    struct xdg_toplevel* toplevel = xdg_surface_get_toplevel(xdg);
    xdg_toplevel_set_title(toplevel, "idle inhibitor");
    wl_surface_commit(surface);
    while (!g.configured)
        if (wl_display_dispatch(display) < 0)
            return 1;
    wl_surface_attach(surface, black_buffer(g.shm), 0, 0);
    wl_surface_commit(surface);
    zwp_idle_inhibit_manager_v1_create_inhibitor(g.inhibit_manager, surface);
    wl_display_roundtrip(display);
    puts("ready");
    fflush(stdout);

    struct pollfd fds[2] = {{wl_display_get_fd(display), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    char line[64];
    for (;;) {
        wl_display_flush(display);
        if (poll(fds, 2, -1) < 0)
            return 1;
        if (fds[0].revents && wl_display_dispatch(display) < 0)
            return 1;
        if (fds[1].revents && read(STDIN_FILENO, line, sizeof line) <= 0)
            break;
    }
    wl_display_disconnect(display);
    return 0;
}
