#pragma once
// Receives what a control reports about user gestures.

namespace VSTGUI {

class CControl;

class CControlListener
{
public:
	virtual ~CControlListener () = default;
	virtual void valueChanged (CControl* control) = 0;
	virtual void controlBeginEdit (CControl* /*control*/) {}
	virtual void controlEndEdit (CControl* /*control*/) {}
};

} // namespace VSTGUI
