// "CONFIGURE THIS COMPUTER": the connection type is chosen first, then the
// fields that type needs are edited as a form. Which fields a type shows is
// data: the kind's row lists its settings, one row here per setting says
// where and how it is drawn.
#include <cstring>
#include <span>
#include <vector>

#include "config/config_lists.h"
#include "forms/connect_link.h"
#include "forms/link_forms.h"
#include "forms/port_path_entry.h"
#include "forms/save_setup_prompt.h"
#include "setup/link_kinds.h"
#include "setup/link_setup.h"
#include "setup/setup_choices.h"
#include "ui/boxes.h"
#include "ui/console/keys.h"
#include "ui/fields.h"
#include "ui/form_screen.h"
#include "ui/screen.h"

namespace {

// The kind's row says which settings its form shows, in order.
using Slot = LinkSetting;

struct SlotRow {
    Slot slot;
    int16_t row;
    const char* label;
    int16_t width;
    int16_t dataType;
};

constexpr SlotRow kSlotRows[] = {
    {Slot::Port, 9, "Port", kLinkPortFieldWidth, dt::ChoiceList},
    {Slot::Host, 9, "Host", kTcpHostLength, dt::Text},
    {Slot::Baud, 10, "Baud rate", kSetupBaudWidth, dt::ChoiceList},
    {Slot::TcpPort, 10, "Port", 5, dt::UShort},
    {Slot::DataBits, 11, "Data bits", 1, dt::ChoiceList},
    {Slot::FixedDataBits, 11, "Data bits", 1, dt::ChoiceList},
    {Slot::StopBits, 12, "Stop bits", 1, dt::ChoiceList},
    {Slot::Parity, 13, "Parity", 4, dt::ChoiceList},
    {Slot::ErrorCheck, 14, "Error Check", 3, dt::ChoiceList},
    {Slot::GatewayRoute, 14, "Route", 31, dt::NumberList},
    {Slot::Timeout, 15, "Timeout", 6, dt::UShort},
    {Slot::TrapErrors, 16, "Trap Errors", 3, dt::ChoiceList},
    {Slot::Route, 17, "Route", 31, dt::NumberList},
    {Slot::Drop, 17, "Drop", 3, dt::NumberList},
    {Slot::Index, 17, "Index", 3, dt::NumberList},
};

std::span<const Slot> SlotsOf(int type) {
    const LinkKindRow* kind = LinkKindOf(type);
    return kind ? kind->settings : std::span<const Slot>{};
}

const SlotRow& RowOf(Slot slot) {
    for (const auto& row : kSlotRows)
        if (row.slot == slot) return row;
    return kSlotRows[0];
}

// Port 0 cannot be connected to: the field says so and offers the Modbus TCP
// port. (Numbers above 65535 are refused by the field's type.)
constexpr uint16_t kModbusTcpPort = 502;
int CheckTcpPort(void* value, int, const FieldDescriptor*) {
    uint16_t& port = *static_cast<uint16_t*>(value);
    if (port != 0) return 1;
    ShowError("TCP port must be 1 to 65535 (Modbus TCP is 502)");
    port = kModbusTcpPort;
    return 0;
}

constexpr int kLabelCol = 30, kLabelWidth = 15, kValueCol = 46;
constexpr int kFirstRow = 9, kLastRow = 17;

bool IsModbusType(int type) {
    const LinkKindRow* kind = LinkKindOf(type);
    return kind && kind->singleDrop;
}

// The form edits the route through a number list; the record keeps up to
// ten entries, of which the field shows and edits eight.
struct RouteEdit {
    NumberList list{};
    NumberList before{};
    void Load(const LinkSetup& s) {
        list.count = s.RouteCount > kRouteEdited ? kRouteEdited : s.RouteCount;
        for (int i = 0; i < kRouteEdited; ++i) list.numbers[i] = s.Route[i];
        before = list;
    }
    void Store(LinkSetup& s) const {
        if (std::memcmp(&list, &before, sizeof list) == 0) return;
        s.RouteCount = list.count;
        for (int i = 0; i < kRouteEdited; ++i) s.Route[i] = list.numbers[i];
    }
};

// The port field offers this computer's ports and, last, the line behind a
// serial device server: the one the settings name, or an entry that says
// how to give one. The record keeps a server as kNetworkLinkPort, the server
// itself in the Modbus TCP link's host and port.
class PortEdit {
  public:
    void Load(const LinkSetup& s, const SerialPortList& ports) {
        network_ = int16_t(ports.Count());
        const char* const* listed = ports.LabelledChoices();
        choices_.assign(listed, listed + ports.Count());
        text_ = ChoiceText(s);
        choices_.push_back(text_.c_str());
        choices_.push_back(nullptr);
        choice = s.LinkPort == kNetworkLinkPort ? network_ : s.LinkPort;
        before_ = choice;
        serverTaken_ = false;
    }
    // A port index the list no longer holds stays as it was unless the user
    // chose another port or gave a server.
    void Store(LinkSetup& s) const {
        if (choice != before_ || serverTaken_)
            s.LinkPort = choice == network_ ? kNetworkLinkPort : choice;
    }
    const char* const* Choices() const { return choices_.data(); }
    // What the path line starts with: the server in use, else the "/" of a path.
    std::string ShownFirst(const LinkSetup& s) const {
        return choice == network_ && s.TcpHost[0] ? ServerName(s) : std::string(1, kPortPathKey);
    }
    void TakeServer(LinkSetup& s, const NetworkPortName& where) {
        if (where.host.size() > size_t(kTcpHostLength)) {
            ShowError("The device server's host name is longer than 30 characters");
            return;
        }
        std::memset(s.TcpHost, 0, sizeof s.TcpHost);
        where.host.copy(s.TcpHost, where.host.size());
        s.TcpPort = uint16_t(where.port);
        text_ = ChoiceText(s);
        choices_[size_t(network_)] = text_.c_str();
        choice = network_;
        serverTaken_ = true;
    }

    int16_t choice = 0;

  private:
    static std::string ServerName(const LinkSetup& s) {
        return NetworkPortNameOf(
            {std::string(s.TcpHost, strnlen(s.TcpHost, sizeof s.TcpHost)), s.TcpPort});
    }
    static std::string ChoiceText(const LinkSetup& s) {
        return s.TcpHost[0] ? ServerName(s) : "network: / then tcp:HOST:PORT";
    }
    int16_t network_ = 0, before_ = 0;
    bool serverTaken_ = false;
    std::string text_;
    std::vector<const char*> choices_;
};

FieldDescriptor DescriptorOf(const SlotRow& row, LinkSetup& s, RouteEdit& route, PortEdit& port) {
    FieldDescriptor f{row.row, kValueCol, row.width, row.dataType,
                      nullptr, nullptr,   nullptr,   tf::Highlight};
    auto choice = [&f](int16_t* value, const char* const* texts) {
        f.value = value;
        f.choices = texts;
    };
    switch (row.slot) {
        case Slot::Port:
            choice(&port.choice, port.Choices());
            break;
        case Slot::Baud:
            choice(&s.LinkBaud, kSetupBaudTexts);
            break;
        case Slot::DataBits:
        case Slot::FixedDataBits:
            choice(&s.LinkDataBits, kSetupDataBitsTexts);
            break;
        case Slot::StopBits:
            choice(&s.LinkStopBits, kSetupStopBitsTexts);
            break;
        case Slot::Parity:
            choice(&s.LinkParity, kSetupParityTexts);
            break;
        case Slot::ErrorCheck:
            choice(&s.ErrorCheck, kErrorCheckTexts);
            break;
        case Slot::TrapErrors:
            choice(&s.TrapErrors, kYesNoTexts);
            break;
        case Slot::Host:
            f.value = s.TcpHost;
            break;
        case Slot::TcpPort:
            f.value = &s.TcpPort;
            f.check = CheckTcpPort;
            break;
        case Slot::Timeout:
            f.value = &s.LinkTimeout;
            break;
        case Slot::GatewayRoute:
        case Slot::Route:
        case Slot::Drop:
        case Slot::Index:
            f.value = &route.list;
            break;
    }
    // Typed values start with the cursor at their start; the first key clears them.
    if (row.dataType != dt::ChoiceList) f.flags |= tf::ReplaceOld;
    return f;
}

struct TypeForm {
    std::vector<FieldDescriptor> fields;
    RouteEdit route;
    PortEdit port;
};

void BuildForm(TypeForm& form, LinkSetup& s, const SerialPortList& ports) {
    form.route.Load(s);
    form.port.Load(s, ports);
    form.fields.clear();
    for (Slot slot : SlotsOf(s.ConnectionType)) {
        if (slot == Slot::FixedDataBits) continue;  // shown, not edited
        form.fields.push_back(DescriptorOf(RowOf(slot), s, form.route, form.port));
    }
}

const char* TypeName(int type) {
    // A damaged file's type is no choice of the list: shown as the other
    // fields show theirs.
    if (type == LinkTypeNone) return "NONE";
    const LinkKindRow* kind = LinkKindOf(type);
    return kind ? kind->formText : "INVALID";
}

void DrawTypeForm(TypeForm& form, const LinkSetup& s, uint32_t typeAttribute) {
    PutText("Connection type", 8, kLabelCol, kLabelWidth, ' ', tf::RightAlign);
    PutText(TypeName(s.ConnectionType), 8, kValueCol, 21, ' ', typeAttribute);
    for (int row = kFirstRow; row <= kLastRow; ++row) PutText("", row, 21, 58, ' ', 0);
    for (Slot slot : SlotsOf(s.ConnectionType)) {
        const SlotRow& row = RowOf(slot);
        PutText(row.label, row.row, kLabelCol, kLabelWidth, ' ', tf::RightAlign);
        if (slot == Slot::FixedDataBits) PutText("8", row.row, kValueCol, 1, ' ', tf::Highlight);
    }
    DrawFields(form.fields.data(), 0, int(form.fields.size()) - 1, 0);
}

void StepType(LinkSetup& s, int step) {
    const bool wasModbus = IsModbusType(s.ConnectionType);
    const int type = SteppedLinkKind(s.ConnectionType, step).setupCode;
    s.ConnectionType = int16_t(type);
    if (IsModbusType(type)) {
        // 255 is the unit a Modbus TCP gateway answers for itself, but no
        // address of a slave on a serial line (1-247): a serial Modbus link
        // starts at slave 1.
        const bool serial = LinkKindOf(type)->serial;
        if (s.RouteCount == 0) {
            s.RouteCount = 1;
            s.Route[0] = serial ? 1 : 255;
        } else if (serial && s.Route[0] == 255) {
            s.Route[0] = 1;
        }
    } else if (s.Route[0] == 255 || (wasModbus && s.RouteCount == 1 && s.Route[0] == 1)) {
        // A Modbus drop or unit, the default one, is no Sy/Max route.
        s.RouteCount = 0;
    }
}

enum class FormEnd { Accepted, Cancelled, BackToType };

// The kind's fields: F1 edits on, the port path key types a serial port's
// path (any other kind has none: a bell), every other key leaves them.
class TypeFieldsScreen final : public FormScreen {
  public:
    TypeFieldsScreen(TypeForm& form, LinkSetup& s, const SerialPortList& ports, const char* exits)
        : FormScreen(form.fields.data(), int(form.fields.size()) - 1, exits, tf::StartWithText),
          form_(form),
          s_(s),
          ports_(ports) {}

    KeyResult OnKey(int k) override {
        ending = k;
        if (k == key::F1) return KeyResult::Handled;
        if (k != kPortPathKey) return KeyResult::Leave;
        // The port is the first field of every serial type.
        const LinkKindRow* kind = LinkKindOf(s_.ConnectionType);
        if (kind && kind->serial) {
            const TypedLinkPort typed =
                TypeLinkPortPath(form_.port.choice, ports_, form_.port.ShownFirst(s_));
            if (typed.network) form_.port.TakeServer(s_, typed.where);
        } else {
            Beep();
        }
        return KeyResult::Redraw;
    }

    int ending = 0;

  private:
    TypeForm& form_;
    LinkSetup& s_;
    const SerialPortList& ports_;
};

FormEnd EditTypeFields(TypeForm& form, LinkSetup& s, bool fromLast, const SerialPortList& ports) {
    PutText(TypeName(s.ConnectionType), 8, kValueCol, 21, ' ', tf::Highlight);
    const char exits[] = {char(key::Enter), char(key::Esc), char(key::F1), kPortPathKey, 0};
    TypeFieldsScreen screen(form, s, ports, exits);
    screen.startField = fromLast ? int(form.fields.size()) - 1 : 0;
    RunKeyLoop(screen);
    form.route.Store(s);
    form.port.Store(s);
    if (screen.ending == key::Enter) return FormEnd::Accepted;
    if (screen.ending == key::Esc) return FormEnd::Cancelled;
    return FormEnd::BackToType;
}

// The connection type as a screen of the key loop: Space, + and the arrows
// step through the kinds, each showing its own fields; Enter or Up and Down
// go into the fields, and Esc leaves.
class TypeScreen final : public KeyScreen {
  public:
    TypeScreen(LinkSetup& s, const SerialPortList& ports) : s_(s), ports_(ports) {}

    int NextKey() override { return GetKey(); }

    KeyResult OnKey(int k) override {
        switch (k) {
            case ' ':
            case '+':
            case key::Right:
                StepType(s_, 1);
                return KeyResult::Changed;
            case '-':
            case key::Left:
                StepType(s_, -1);
                return KeyResult::Changed;
            case key::Esc:
                end = FormEnd::Cancelled;
                return KeyResult::Leave;
            case key::Enter:
            case key::Down:
            case key::Up:
                break;
            default:
                return KeyResult::Ignored;
        }
        if (form_.fields.empty()) return KeyResult::Handled;
        end = EditTypeFields(form_, s_, k == key::Up, ports_);
        return end == FormEnd::BackToType ? KeyResult::Redraw : KeyResult::Leave;
    }

    // The form is built again from the record: the kind may have changed.
    void Show() override {
        BuildForm(form_, s_, ports_);
        DrawTypeForm(form_, s_, tf::Reverse);
    }

    FormEnd end = FormEnd::Cancelled;

  private:
    LinkSetup& s_;
    const SerialPortList& ports_;
    TypeForm form_;
};

FormEnd RunTypeLoop(LinkSetup& s, const SerialPortList& ports) {
    TypeScreen screen(s, ports);
    screen.Show();
    RunKeyLoop(screen);
    return screen.end;
}

bool RouteDiffers(const LinkSetup& a, const LinkSetup& b) {
    if (a.RouteCount != b.RouteCount) return true;
    int n = a.RouteCount > kRouteSlots ? kRouteSlots : a.RouteCount;
    return std::memcmp(a.Route, b.Route, size_t(n) * sizeof a.Route[0]) != 0;
}

bool ConnectionChanged(const LinkSetup& a, const LinkSetup& b) {
    return a.ConnectionType != b.ConnectionType || a.LinkPort != b.LinkPort ||
           a.LinkReserved != b.LinkReserved ||
           std::strncmp(a.TcpHost, b.TcpHost, sizeof a.TcpHost) != 0 || a.TcpPort != b.TcpPort ||
           RouteDiffers(a, b);
}

bool RecordDiffers(const LinkSetup& a, const LinkSetup& b) {
    return std::memcmp(&a, &b, sizeof a) != 0;
}

}  // namespace

bool ConfigureLink(SetupInForce& settings, LinkHandle& link) {
    LinkSetup& setup = settings.CurrentSetup;
    WindowHandle window = OpenWindow(7, 20, 18, 79, "CONFIGURE THIS COMPUTER");
    // Read afresh: a port plugged in since is offered, and the settings
    // keep naming the ports they named.
    RefreshSetupPorts(settings);
    const SerialPortList ports = settings.ports;  // the choices, for as long as the form runs
    const LinkSetup saved = setup;
    if (RunTypeLoop(setup, ports) == FormEnd::Cancelled) {
        if (RecordDiffers(setup, saved)) {
            ShowError(kEditAborted);
            setup = saved;
        }
    } else {
        // A link already open to another place is closed whatever it was.
        if (ConnectionChanged(saved, setup)) link.reset();
        // A port chosen from the list is its adapter from now on; a port
        // left unset (a missing adapter) keeps naming the adapter.
        if (ports.At(setup.LinkPort)) settings.adapters.link = ports.AdapterAt(setup.LinkPort);
        // A device server has no adapter of this computer to follow.
        if (setup.LinkPort == kNetworkLinkPort) settings.adapters.link.clear();
        if (ConnectLink(settings, link)) SaveSetupPrompt(settings);
    }
    CloseWindow(window);
    return link != nullptr;
}
