// A small GTK 3 window for the desktop tests and the benchmark: two editable text areas
// at different heights, a single-line field, a read-only area and, on request, many
// plain labels to make the accessibility tree large, and a text area scrolled out of
// sight.
//
//   orvex-test-gtk-window [--filler N]
//
// Prints "ready" on standard output once the window is mapped; SIGUSR1 minimizes it.
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <csignal>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void describe(GtkWidget* widget, const char* name, const char* description) {
    AtkObject* accessible = gtk_widget_get_accessible(widget);
    atk_object_set_name(accessible, name);
    atk_object_set_description(accessible, description);
}

GtkWidget* textArea(const char* name, const char* description, bool editable, int height) {
    GtkWidget* view = gtk_text_view_new();
    gtk_text_view_set_editable(GTK_TEXT_VIEW(view), editable);
    gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)), name, -1);
    describe(view, name, description);
    gtk_widget_set_size_request(view, -1, height);
    return view;
}

// Labels in rows of 25 inside a scrolled pane, so a large count stays a normal window.
GtkWidget* fillerPane(int count) {
    GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    GtkWidget* row = nullptr;
    for (int i = 0; i < count; ++i) {
        if (i % 25 == 0) {
            row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 2);
            gtk_box_pack_start(GTK_BOX(column), row, FALSE, FALSE, 0);
        }
        std::string text = std::to_string(i);
        gtk_box_pack_start(GTK_BOX(row), gtk_label_new(text.c_str()), FALSE, FALSE, 0);
    }
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_widget_set_size_request(scroller, -1, 120);
    gtk_container_add(GTK_CONTAINER(scroller), column);
    return scroller;
}

// A text area scrolled far out of its small pane: present in the tree, off the window.
GtkWidget* scrolledAwayPane() {
    GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    GtkWidget* spacer = gtk_label_new("");
    gtk_widget_set_size_request(spacer, -1, 1500);
    gtk_box_pack_start(GTK_BOX(column), spacer, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(column), textArea("Archive", "Scrolled away", true, 80), FALSE,
                       FALSE, 0);
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_widget_set_size_request(scroller, -1, 40);
    gtk_container_add(GTK_CONTAINER(scroller), column);
    return scroller;
}

// SIGUSR1 minimizes the window, so tests can see the minimized state from outside.
gboolean iconify(gpointer window) {
    gtk_window_iconify(GTK_WINDOW(window));
    return G_SOURCE_CONTINUE;
}

gboolean announceReady(GtkWidget*, GdkEvent*, gpointer) {
    std::puts("ready");
    std::fflush(stdout);
    return FALSE;
}

}  // namespace

int main(int argc, char** argv) {
    gtk_init(&argc, &argv);
    int filler = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--filler") == 0 && i + 1 < argc) {
            filler = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: %s [--filler N]\n", argv[0]);
            return 2;
        }
    }

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "Orvex GTK test window");
    gtk_window_set_default_size(GTK_WINDOW(window), 640, 560);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    gtk_container_set_border_width(GTK_CONTAINER(box), 8);
    gtk_container_add(GTK_CONTAINER(window), box);

    GtkWidget* subject = gtk_entry_new();
    gtk_entry_set_placeholder_text(GTK_ENTRY(subject), "Subject line");
    describe(subject, "Subject", "Single line");
    gtk_box_pack_start(GTK_BOX(box), subject, FALSE, FALSE, 0);

    gtk_box_pack_start(GTK_BOX(box), textArea("Draft", "Upper editor", true, 80), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), textArea("Transcript", "Read only", false, 80), FALSE, FALSE,
                       0);
    gtk_box_pack_start(GTK_BOX(box), scrolledAwayPane(), FALSE, FALSE, 0);
    if (filler > 0)
        gtk_box_pack_start(GTK_BOX(box), fillerPane(filler), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), textArea("Message", "Lower editor", true, 100), TRUE, TRUE, 0);

    g_signal_connect(window, "map-event", G_CALLBACK(announceReady), nullptr);
    g_unix_signal_add(SIGUSR1, iconify, window);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
