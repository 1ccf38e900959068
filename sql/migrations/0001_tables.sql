-- version: 6.37.0
-- Placeholder: replaced by the full schema.
CREATE SEQUENCE G_DUMMY;
