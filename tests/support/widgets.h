#pragma once

// Drivers for windows under test: find a control by its window name and use it the way a
// user's click or keystroke would, so the real event bindings run.

#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/stopwatch.h>
#include <wx/textctrl.h>
#include <wx/vlbox.h>

namespace widgets_test {

template <class T>
T* Find(wxWindow* parent, const char* name)
{
    T* control = dynamic_cast<T*>(wxWindow::FindWindowByName(name, parent));
    EXPECT_NE(control, nullptr) << "no control named " << name;
    return control;
}

// Sends a command event of this type from the control, as the toolkit does after user input.
inline void Notify(wxWindow* control, wxEventType type, int value = 0)
{
    wxCommandEvent event(type, control->GetId());
    event.SetEventObject(control);
    event.SetInt(value);
    control->GetEventHandler()->ProcessEvent(event);
}

// A click on a (bitmap) button.
inline void Click(wxWindow* parent, const char* name)
{
    if (auto* button = Find<wxAnyButton>(parent, name))
        Notify(button, wxEVT_BUTTON);
}

// The user selecting line n of a list.
inline void ChooseLine(wxVListBox* list, int n)
{
    list->SetSelection(n);
    Notify(list, wxEVT_LISTBOX, n);
}

// The user typing over the whole text of a field.
inline void Type(wxTextCtrl* field, const wxString& text)
{
    field->ChangeValue(text);
    field->MarkDirty();
}

inline void Toggle(wxCheckBox* box)
{
    box->SetValue(!box->GetValue());
    Notify(box, wxEVT_CHECKBOX, box->GetValue() ? 1 : 0);
}

// An open top-level window of type T that is not being deleted, or null.
template <class T>
T* TopWindow()
{
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* found = dynamic_cast<T*>(window); found && !found->IsBeingDeleted())
            return found;
    return nullptr;
}

// Pumps events until done() holds; false when 10 seconds pass first.
inline bool PumpUntil(const std::function<bool()>& done)
{
    for (wxStopWatch watch; !done(); wxMilliSleep(5), wxYield())
        if (watch.Time() > 10000)
            return false;
    return true;
}

// Lets windows that asked to close go.
inline void Settle()
{
    wxYield();
    wxTheApp->ProcessIdle();
}

// The names of the windows below parent named after an identifier ("ID_...") but made without
// one (wxID_ANY gives a negative, made-up identifier), each followed by a blank.
inline wxString UnidentifiedControls(wxWindow* parent)
{
    wxString found;
    for (wxWindow* child : parent->GetChildren())
        found << (child->GetName().StartsWith("ID_") && child->GetId() < 0 ? child->GetName() + " " : "")
              << UnidentifiedControls(child);
    return found;
}

// Shows the dialog (not modally) until its lists have laid out their rows, hides it again and
// names what it showed cut, each followed by a blank: a control smaller than its best size or
// reaching out of the dialog, and a list row (by its text) wider than the list or not whole in
// its height.
inline wxString CutControls(wxDialog* dialog)
{
    dialog->Show();
    const auto listed = [&](wxListBox* list) {
        return list->IsEmpty() || list->HitTest(wxPoint(1, 1)) != wxNOT_FOUND;
    };
    wxString cut;
    if (!PumpUntil([&] {
            for (wxWindow* child : dialog->GetChildren())
                if (auto* list = dynamic_cast<wxListBox*>(child); list && !listed(list))
                    return false;
            return true;
        }))
        cut << "(rows never laid out) ";
    for (wxWindow* child : dialog->GetChildren()) {
        const wxSize best = child->GetBestSize();
        if (!wxRect(dialog->GetClientSize()).Contains(child->GetRect()) ||
            child->GetSize().x < best.x || child->GetSize().y < best.y)
            cut << child->GetClassInfo()->GetClassName() << "(" << child->GetLabel() << ") ";
        auto* list = dynamic_cast<wxListBox*>(child);
        if (list == nullptr)
            continue;
        const wxSize area = list->GetClientSize();
        std::vector<bool> seen(list->GetCount());
        for (int y = 0; y < area.y; ++y)
            if (const int row = list->HitTest(wxPoint(1, y)); row != wxNOT_FOUND)
                seen.at(row) = true;
        const int last = list->HitTest(wxPoint(1, area.y - 1));  // a row going on below
        for (unsigned row = 0; row < list->GetCount(); ++row)
            if (!seen[row] || static_cast<int>(row) == last ||
                list->GetTextExtent(list->GetString(row)).x >= area.x)
                cut << list->GetString(row) << " ";
    }
    dialog->Hide();
    return cut;
}

} // namespace widgets_test
