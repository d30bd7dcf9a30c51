CREATE ALGORITHM=UNDEFINED DEFINER=`root`@`localhost` SQL SECURITY DEFINER VIEW `views_triggers`.`v_item_categories` AS select `i`.`id` AS `id`,`i`.`name` AS `name`,`c`.`title` AS `category`,`i`.`price` * 2 AS `double_price` from (`views_triggers`.`items` `i` join `views_triggers`.`categories` `c` on(`c`.`id` = `i`.`category_id`))
;
