TYPE=TRIGGERS
triggers='CREATE DEFINER=`root`@`localhost` TRIGGER items_bi BEFORE INSERT ON items FOR EACH ROW SET NEW.name = TRIM(NEW.name)' 'CREATE DEFINER=`trigger_admin`@`localhost` TRIGGER items_ai AFTER INSERT ON items FOR EACH ROW\nBEGIN\n  INSERT INTO audit (item_id, message) VALUES (NEW.id, CONCAT(\'added "\', NEW.name, \'" \\\\ ok\'));\nEND' 'CREATE DEFINER=`root`@`localhost` trigger items_bu before update on items for each row set new.updated_count = old.updated_count + 1' 'CREATE DEFINER=`root`@`localhost` TRIGGER items_au AFTER UPDATE ON items FOR EACH ROW\nBEGIN\n  IF NEW.price <> OLD.price THEN\n    INSERT INTO audit (item_id, message)\n      VALUES (NEW.id, CONCAT(\'price of \'\'\', NEW.name, \'\'\' changed: \', OLD.price, \' -> \', NEW.price));\n  END IF;\n  -- a comment inside the body\nEND'
sql_modes=1077936128 1077936128 1077936128 1077936128
definers='root@localhost' 'trigger_admin@localhost' 'root@localhost' 'root@localhost'
client_cs_names='utf8mb4' 'utf8mb4' 'utf8mb4' 'utf8mb4'
connection_cl_names='utf8mb4_general_ci' 'utf8mb4_general_ci' 'utf8mb4_general_ci' 'utf8mb4_general_ci'
db_cl_names='utf8mb4_general_ci' 'utf8mb4_general_ci' 'utf8mb4_general_ci' 'utf8mb4_general_ci'
created=1796996697283646 1796996697470062 1796996697391767 1796996697324719
