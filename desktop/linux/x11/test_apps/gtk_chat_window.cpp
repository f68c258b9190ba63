// A small GTK 3 window standing in for the applications Orvex delivers to and copies from.
//
//   orvex-test-chat-window --record FILE
//       A chat window: a read-only transcript above a multi-line input. Return sends: the
//       input's text, and the sizes of images pasted into it since the last send, are
//       appended to FILE as one JSON line {"images":["WxH",...],"text":"..."}, and the input
//       is cleared. Shift+Return is a line break.
//   orvex-test-chat-window --editor TEXT [--selection FILE]
//       An editor holding TEXT, all of it selected, with the focus. With --selection, FILE
//       holds the selected text, rewritten whenever the selection changes.
//   orvex-test-chat-window --editor-file FILE
//       The same with the contents of FILE (a document opened with this program).
//
// Prints "ready" on standard output once the window is mapped; SIGUSR1 minimizes it.
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Chat {
    std::string recordPath;
    GtkWidget* input = nullptr;
    std::vector<std::string> images;
};

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        char escaped[8];
        if (c == '"' || c == '\\')
            out += {'\\', static_cast<char>(c)};
        else if (c == '\n')
            out += "\\n";
        else if (c < 0x20)
            out.append(escaped, std::snprintf(escaped, sizeof escaped, "\\u%04x", c));
        else
            out += static_cast<char>(c);
    }
    return out + "\"";
}

std::string bufferText(GtkWidget* view) {
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    char* text = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
    std::string out = text ? text : "";
    g_free(text);
    return out;
}

void send(Chat& chat) {
    std::string text = bufferText(chat.input);
    std::string line = "{\"images\":[";
    for (std::size_t i = 0; i < chat.images.size(); ++i)
        line += (i ? "," : "") + jsonString(chat.images[i]);
    line += "],\"text\":" + jsonString(text) + "}\n";
    if (FILE* file = std::fopen(chat.recordPath.c_str(), "a")) {
        std::fputs(line.c_str(), file);
        std::fclose(file);
    }
    gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(chat.input)), "", -1);
    chat.images.clear();
}

gboolean onKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    bool isReturn = event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter;
    if (isReturn && !(event->state & GDK_SHIFT_MASK)) {
        send(*static_cast<Chat*>(data));
        return TRUE;
    }
    return FALSE;
}

// Images are attachments, as in a chat application; text pastes as usual.
void onPaste(GtkTextView* view, gpointer data) {
    GtkClipboard* clipboard = gtk_widget_get_clipboard(GTK_WIDGET(view), GDK_SELECTION_CLIPBOARD);
    if (!gtk_clipboard_wait_is_image_available(clipboard))
        return;
    GdkPixbuf* image = gtk_clipboard_wait_for_image(clipboard);
    if (!image)
        return;
    auto& chat = *static_cast<Chat*>(data);
    chat.images.push_back(std::to_string(gdk_pixbuf_get_width(image)) + "x" +
                          std::to_string(gdk_pixbuf_get_height(image)));
    g_object_unref(image);
    g_signal_stop_emission_by_name(view, "paste-clipboard");
}

// GTK deselects a text view's text when another client takes the primary selection.
void recordSelection(GtkTextBuffer* buffer, GtkTextIter*, GtkTextMark* mark, gpointer path) {
    if (mark != gtk_text_buffer_get_insert(buffer) &&
        mark != gtk_text_buffer_get_selection_bound(buffer))
        return;
    GtkTextIter start, end;
    gtk_text_buffer_get_selection_bounds(buffer, &start, &end);
    char* text = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
    g_file_set_contents(static_cast<const char*>(path), text, -1, nullptr);
    g_free(text);
}

gboolean iconify(gpointer window) {
    gtk_window_iconify(GTK_WINDOW(window));
    return G_SOURCE_CONTINUE;
}

gboolean announceReady(GtkWidget*, GdkEvent*, gpointer) {
    std::puts("ready");
    std::fflush(stdout);
    return FALSE;
}

GtkWidget* scrolled(GtkWidget* child) {
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_container_add(GTK_CONTAINER(scroller), child);
    return scroller;
}

void describe(GtkWidget* widget, const char* name) {
    atk_object_set_name(gtk_widget_get_accessible(widget), name);
}

}  // namespace

int main(int argc, char** argv) {
    gtk_init(&argc, &argv);
    const char* record = nullptr;
    const char* editorText = nullptr;
    const char* selectionPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--record") == 0 && i + 1 < argc) {
            record = argv[++i];
        } else if (std::strcmp(argv[i], "--editor") == 0 && i + 1 < argc) {
            editorText = argv[++i];
        } else if (std::strcmp(argv[i], "--selection") == 0 && i + 1 < argc) {
            selectionPath = argv[++i];
        } else if (std::strcmp(argv[i], "--editor-file") == 0 && i + 1 < argc) {
            char* contents = nullptr;
            if (!g_file_get_contents(argv[++i], &contents, nullptr, nullptr)) {
                std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[i]);
                return 1;
            }
            static std::string fileText = contents;
            g_free(contents);
            editorText = fileText.c_str();
        } else {
            std::fprintf(stderr,
                         "usage: %s (--record FILE | --editor TEXT [--selection FILE] | "
                         "--editor-file FILE)\n",
                         argv[0]);
            return 2;
        }
    }
    if (!record == !editorText) {
        std::fprintf(stderr, "%s: give exactly one of --record and --editor\n", argv[0]);
        return 2;
    }

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "Orvex test chat");
    gtk_window_set_default_size(GTK_WINDOW(window), 520, 420);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    gtk_container_set_border_width(GTK_CONTAINER(box), 8);
    gtk_container_add(GTK_CONTAINER(window), box);

    static Chat chat;
    GtkWidget* focus = nullptr;
    GtkTextBuffer* document = nullptr;
    if (record) {
        chat.recordPath = record;
        GtkWidget* transcript = gtk_text_view_new();
        gtk_text_view_set_editable(GTK_TEXT_VIEW(transcript), FALSE);
        gtk_widget_set_can_focus(transcript, FALSE);
        describe(transcript, "Transcript");
        gtk_box_pack_start(GTK_BOX(box), scrolled(transcript), TRUE, TRUE, 0);
        chat.input = gtk_text_view_new();
        gtk_widget_set_size_request(chat.input, -1, 90);
        describe(chat.input, "Message");
        g_signal_connect(chat.input, "key-press-event", G_CALLBACK(onKey), &chat);
        g_signal_connect(chat.input, "paste-clipboard", G_CALLBACK(onPaste), &chat);
        gtk_box_pack_start(GTK_BOX(box), scrolled(chat.input), FALSE, FALSE, 0);
        // A button, so the input does not start with the focus and something must put it
        // there.
        focus = gtk_button_new_with_label("New chat");
        gtk_box_pack_start(GTK_BOX(box), focus, FALSE, FALSE, 0);
    } else {
        GtkWidget* editor = gtk_text_view_new();
        describe(editor, "Document");
        GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(editor));
        gtk_text_buffer_set_text(buffer, editorText, -1);
        if (selectionPath) {
            g_signal_connect(buffer, "mark-set", G_CALLBACK(recordSelection),
                             const_cast<char*>(selectionPath));
        }
        document = buffer;
        gtk_box_pack_start(GTK_BOX(box), scrolled(editor), TRUE, TRUE, 0);
        focus = editor;
    }

    g_signal_connect(window, "map-event", G_CALLBACK(announceReady), nullptr);
    g_unix_signal_add(SIGUSR1, iconify, window);
    gtk_widget_show_all(window);
    if (document) {
        // Selected once the view is realized, as a person would: only then does the buffer
        // own the primary selection, and lose its selection with it.
        GtkTextIter start, end;
        gtk_text_buffer_get_bounds(document, &start, &end);
        gtk_text_buffer_select_range(document, &start, &end);
    }
    gtk_widget_grab_focus(focus);
    gtk_main();
    return 0;
}
