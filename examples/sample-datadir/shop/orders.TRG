TYPE=TRIGGERS
triggers='CREATE DEFINER=`root`@`localhost` TRIGGER orders_ai AFTER INSERT ON orders FOR EACH ROW\nBEGIN\n  IF NEW.quantity > 8 THEN\n    INSERT INTO audit_log (order_id, message) VALUES (NEW.id, CONCAT(\'large order: \', NEW.quantity));\n  END IF;\nEND'
sql_modes=1077936128
definers='root@localhost'
client_cs_names='utf8mb4'
connection_cl_names='utf8mb4_general_ci'
db_cl_names='utf8mb4_general_ci'
created=1796996772767381
