#pragma once
// Reference-counted base of every view-layer object.

#include <cstdint>

namespace VSTGUI {

enum CMessageResult
{
	kMessageUnknown = 0,
	kMessageNotified = 1
};

/** Starts with one reference, owned by whoever created it; `forget` drops one and deletes the
 *  object with the last. */
class CBaseObject
{
public:
	CBaseObject () = default;
	virtual ~CBaseObject () = default;
	CBaseObject (const CBaseObject&) = delete;
	CBaseObject& operator= (const CBaseObject&) = delete;

	void remember () { ++nbReference; }
	void forget ()
	{
		if (--nbReference == 0)
			delete this;
	}
	int32_t getNbReference () const { return nbReference; }

	/** A message from another object (e.g. a timer); answers whether it was understood. */
	virtual CMessageResult notify (CBaseObject* /*sender*/, const char* /*message*/)
	{
		return kMessageUnknown;
	}

private:
	int32_t nbReference {1};
};

} // namespace VSTGUI
